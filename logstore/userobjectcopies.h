// Bringing every stored copy of a user-defined object's definition up to date
// after the object was edited: the copies carried in its notes and in its
// observing-log entry files.
#pragma once
#include <cstdint>

// Sky marks and reference points have no log entries of their own.
const uint32_t kCopiesSkyMarkCategory = 0x4000;
const uint32_t kCopiesReferencePointCategory = 0x80000;

// Rewrites the object's notes in every notes group, then (except for sky
// marks and reference points) its log entry files. 1 when a copy was
// rewritten; 0 at once for a class that is not user-defined.
int RefreshUserObjectCopies(int objectClass, uint32_t category, int32_t id);
