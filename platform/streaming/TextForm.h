// The readable text form of a component stream, converted both ways without
// any registered classes:
//
//   object Name: TClass          (object TClass when the name is empty)
//     Width = 64                 integers in decimal
//     Alignment = taCenter       identifiers, True, False, nil
//     Title.Caption = '顧客名'    strings quoted, UTF-8 as it is
//     Style = [fsBold, fsItalic] sets
//     PickList.Strings = (       lists
//       'a'
//       'b')
//     Glyph.Data = {             binary data in hexadecimal
//       0A0B0C}
//     Columns = <                collections
//       item
//         Width = 10
//       end>
//     object Child: TChild       children
//     end
//   end
//
// In a string, '' is a quote, and #n (outside the quotes) is the single byte
// n; control characters and bytes that are not UTF-8 are written that way,
// so binary -> text -> binary gives the identical bytes. Integers take the
// smallest form and strings the short form up to 255 bytes, as the writer
// does; `inherited` and `inline` headers and `[n]` child positions are kept.
#pragma once

#include "platform/core/Streams.h"

RIX_DECLARE_EXCEPTION(EParserError, EConvertError);

// Binary stream (from Input's position) to text. Bad input raises EReadError
// with the offset; nothing is written to Output then.
void ObjectBinaryToText(TStream& Input, TStream& Output);
// Text (from Input's position) to a binary stream. Bad input raises
// EParserError naming the line; nothing is written to Output then.
void ObjectTextToBinary(TStream& Input, TStream& Output);

namespace rix {
std::string BinaryToText(const std::string& Binary);
std::string TextToBinary(const std::string& Text);
} // namespace rix
