// A growable, always zero-terminated text that reports (instrument reports,
// lists) are built in before the text goes to the clipboard or a printer.
#pragma once
#include <cstdint>

struct TextBuffer {
    char *text;        // heap block (malloc), zero-terminated; none after a clipboard copy
    int32_t length;    // characters in use
    int32_t capacity;  // bytes in the block
};

constexpr int32_t kTextBufferStep = 2048;

// A fresh buffer: capacity 2048, empty text. 1, or 0 when the block cannot be
// allocated (the buffer is then empty with capacity 0). Any block the buffer
// held is not freed: call on a zeroed or freed buffer.
int InitTextBuffer(TextBuffer *buffer);
// Appends text, and a tab after it when tabFlag is non-zero. When length + the
// text's length >= capacity - 1 the block first grows to text length +
// capacity + 2048 bytes. A buffer without a block (after a clipboard copy) is
// initialised first. 1 on success; 0 when memory runs out, the buffer then
// keeping its earlier text.
int AppendTextBuffer(TextBuffer *buffer, const char *text, int tabFlag);
// Frees the block: text none, length 0, capacity 0.
void FreeTextBuffer(TextBuffer *buffer);
