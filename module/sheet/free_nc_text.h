// free_nc_text.h - the user's own NC text of a sheet event, made safe to
// stand as one block of the program.
#pragma once

#include <stddef.h>

namespace pelk {

// Copies the free text of field (at most field_size - 1 characters are
// read; the field need not be terminated) into out as the text of exactly
// one block, cut to out_size - 1 characters:
//   - every control character, line breaks included, becomes a blank, so
//     that nothing of the text stands on a line of its own;
//   - '%' characters that would open the line (after blanks) are left out,
//     since a line opened by '%' marks the start or the end of a program.
void free_text_as_one_block(const char *field, size_t field_size, char *out, size_t out_size);

}  // namespace pelk
