// The question of every merge with another computer's data: the user
// interface shows the message and returns the answer. 0 keep the present
// item; 2 replace it and every later one without asking; 3 keep it and every
// later one without asking; any other value replace it. The merges remember
// the last two answers in a replace-all and a keep-all flag.
#pragma once

typedef int (*MergeQuestionCallback)(const char *message);

const int kMergeKeep = 0;
const int kMergeReplace = 1;
const int kMergeReplaceAll = 2;
const int kMergeKeepAll = 3;

// The flags of one merge run and the rule above in one place.
struct MergeAnswers {
    bool replaceAll = false;
    bool keepAll = false;
};
// Asks (when neither flag is set and a call-back is given) and returns
// whether the present item is to be replaced. Without a call-back nothing is
// replaced unless replace-all was answered before.
bool AskMergeReplace(MergeAnswers *answers, MergeQuestionCallback ask, const char *message);
