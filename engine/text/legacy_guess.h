#pragma once
// Which legacy encoding a text that is not UTF-8 is in, from a sample of its
// lines (those holding bytes beyond ASCII).
//
// ICU's detector ranks the encodings by how typical the text looks in each,
// but on short texts its ranking of the CJK encodings is no better than a
// tie and single-byte encodings win, even ones that read the bytes as C1
// controls. So a candidate is rejected when it reads the sample with a
// fault, a C1 control, or a code point that is unassigned or private use;
// and a CJK encoding in which the sample reads as its script (Hangul,
// Japanese with kana, Chinese ideographs and punctuation) wins over the
// detector's ranking. Under a Chinese locale GB18030 decides short samples
// and wins over single-byte encodings.
#include <optional>
#include <string_view>

#include "engine/text/text_encoding.h"

namespace quillow {

// Below this many bytes beyond ASCII a sample is short.
inline constexpr size_t kShortSample = 300;

// The guess; nothing when no legacy encoding reads the sample at all.
std::optional<Encoding> guessLegacyEncoding(std::string_view sample, bool chineseLocale);

}  // namespace quillow
