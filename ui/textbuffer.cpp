// Growable report text; see textbuffer.h.
#include "ui/textbuffer.h"

#include <climits>
#include <cstdlib>
#include <cstring>

int InitTextBuffer(TextBuffer *buffer) {
    if (!buffer) return 0;
    buffer->text = static_cast<char *>(std::calloc(kTextBufferStep, 1));
    buffer->length = 0;
    buffer->capacity = buffer->text ? kTextBufferStep : 0;
    return buffer->text ? 1 : 0;
}

int AppendTextBuffer(TextBuffer *buffer, const char *text, int tabFlag) {
    if (!buffer) return 0;
    if (!text) text = "";
    if (!buffer->text || buffer->capacity <= 0) {
        if (!InitTextBuffer(buffer)) return 0;
    }
    // A length outside the block can only come from a caller that changed
    // the fields; start again at the terminator rather than write past it.
    if (buffer->length < 0 || buffer->length >= buffer->capacity)
        buffer->length = static_cast<int32_t>(strnlen(buffer->text, buffer->capacity - 1));
    size_t n = std::strlen(text);
    if (n > static_cast<size_t>(INT32_MAX / 2)) return 0;
    int64_t need = static_cast<int64_t>(buffer->length) + static_cast<int64_t>(n);
    if (need >= buffer->capacity - 1) {
        int64_t grown = static_cast<int64_t>(n) + buffer->capacity + kTextBufferStep;
        if (grown > INT32_MAX) return 0;
        char *block = static_cast<char *>(std::realloc(buffer->text, static_cast<size_t>(grown)));
        if (!block) return 0;
        buffer->text = block;
        buffer->capacity = static_cast<int32_t>(grown);
    }
    std::memcpy(buffer->text + buffer->length, text, n);
    buffer->length += static_cast<int32_t>(n);
    if (tabFlag) buffer->text[buffer->length++] = '\t';
    buffer->text[buffer->length] = '\0';
    return 1;
}

void FreeTextBuffer(TextBuffer *buffer) {
    if (!buffer) return;
    std::free(buffer->text);
    buffer->text = nullptr;
    buffer->length = 0;
    buffer->capacity = 0;
}
