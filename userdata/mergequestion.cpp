// The merge question rule (see mergequestion.h).
#include "userdata/mergequestion.h"

bool AskMergeReplace(MergeAnswers *answers, MergeQuestionCallback ask, const char *message) {
    if (!answers) return false;
    if (answers->replaceAll) return true;
    if (answers->keepAll || !ask) return false;
    int answer = ask(message ? message : "");
    if (answer == kMergeReplaceAll) answers->replaceAll = true;
    if (answer == kMergeKeepAll) answers->keepAll = true;
    return answer != kMergeKeep && answer != kMergeKeepAll;
}
