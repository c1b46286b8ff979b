// Bringing the copies of a user-defined object kept in its log entry files up
// to date after the object was edited.
#pragma once
#include <cstdint>

// Rewrites every entry file of the object with the object's current
// definition; each file is written beside the old one and moved into place,
// so a failure leaves the old file whole. 1 when every entry was rewritten.
int RewriteUserObjectLogEntries(int objectClass, int32_t categoryBits, int32_t catalogueIndex);
