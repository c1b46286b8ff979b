// The two folders of the packaged minor-planet and comet database (the
// solar-system directory lines of the settings file), set once at start-up.
#pragma once

void SetMinorBodyDatabaseFolders(const char *first, const char *second);
// The folder text ending in "/", or none while the folders are not set.
const char *GetMinorBodyDatabaseFolder(int which);
