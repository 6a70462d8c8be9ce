#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace ostrel {

// Fixed-layout binary records: text fields ended by a zero byte inside the field and 32-bit
// little-endian integers without alignment. Readers never look past a field or the buffer.
using Bytes = std::vector<unsigned char>;

// The text up to the field's first zero byte; a field without one, or one that reaches past
// the end of the buffer, reads as empty.
std::string ReadTextField(const Bytes &bytes, size_t offset, size_t size);
// `fallback` when the four bytes are not all inside the buffer.
int32_t ReadInt32(const Bytes &bytes, size_t offset, int32_t fallback = 0);

// Writes the text, a zero byte and zero filler; a text too long for the field is cut so that
// its terminator still fits. The buffer must already hold the field.
void WriteTextField(Bytes &bytes, size_t offset, size_t size, const std::string &text);
void WriteInt32(Bytes &bytes, size_t offset, int32_t value);

// Whole-file helpers for records that are written in place: the file is created when missing
// and never truncated, so bytes beyond the record stay as they were.
enum class FileResult { Ok, CannotOpen, IoError };
FileResult ReadWholeFile(const std::string &path, Bytes &out, size_t maxSize);
FileResult WriteRecordInPlace(const std::string &path, const Bytes &record);

} // namespace ostrel
