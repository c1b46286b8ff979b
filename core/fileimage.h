// Read-only data files held in memory, and checked for change
// at most once a second. The packaged catalogues and databases are asked for
// on every designation recognised; opening, reading and closing a file (or
// asking its time) on each of those asks was most of what a designation
// cost. A file is read once and kept while its path and
// last-write time stay the same; a file that is not there is remembered as
// absent for as long. A change (or an appearance) is seen within a second,
// and at once when the caller's generation number changes (the folders were
// set again). Files are never held open: on Windows an open file cannot be
// replaced, and the suite installs data while its programs run.
#pragma once
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include <vector>

struct FileImage {
    std::string path;
    uint64_t writeTime = 0;            // 100-ns ticks, as the file system gives them
    std::vector<unsigned char> bytes;  // the whole file
};

// The file at path read whole; the same image while the file is unchanged,
// a new one after it changed, null when it cannot be read. generation: any
// number the caller changes when its folders change (its time is asked
// again at once then).
std::shared_ptr<const FileImage> HeldFileImage(const std::string &path, unsigned generation);

// Something built from one image (an index of its names), rebuilt when the
// image changes. Build is called as build(image, &value).
template <typename Value>
struct DerivedFromImage {
    std::shared_ptr<const FileImage> image;
    Value value;

    template <typename Build>
    const Value *Get(const std::shared_ptr<const FileImage> &current, Build build) {
        if (!current) return nullptr;
        if (current != image) {
            value = Value();
            build(*current, &value);
            image = current;
        }
        return &value;
    }
};
