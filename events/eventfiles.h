// Names of a site's two event files in "<user folder>/events": the search
// event file "<safe site name>.bin" and the calendar event file
// "<safe site name>CE.bin" (the name made safe with EncodeNameForFileName),
// the test whether a site has any, and their deletion with the site.
#pragma once

struct LocationRecord;

// "<user folder>/events" into buffer (size bytes); returns the buffer, which
// is emptied when the folder is not set or the path does not fit.
char *GetEventsFolder(char *buffer, int size);
// The path of a site's event file: the calendar file when calendar is 1, the
// search file when 0. 0 (buffer emptied) when the site has no usable name
// (empty, or a Windows device name such as CON) or the path does not fit.
int MakeEventFilePath(const LocationRecord *site, int calendar, char *buffer, int size);
// 1 when the site's search event file exists, else 1 when its calendar event
// file exists, else 0.
int EventFilesExist(const LocationRecord *site);
// Deletes both event files of the site; missing files are ignored. Returns 1.
int DeleteEventFiles(const LocationRecord *site);
