#pragma once
// Which encoding a file's bytes are in: its byte-order mark, the automatic
// choice over its bytes, or an encoding the user named. Lines stay byte ranges
// of the source; the encoding only says where they end and how to decode them.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "engine/text/locale_language.h"

namespace quillow {

// The value of the textEncoding setting that lets the file decide.
inline constexpr const char* kAutoEncoding = "auto";

// The UTF forms are read by our own code; every other encoding through an
// ICU converter.
enum class EncodingForm : uint8_t { Utf8, Utf16LE, Utf16BE, Utf32LE, Utf32BE, Legacy };

class Encoding {
public:
    Encoding() = default;  // UTF-8
    explicit Encoding(EncodingForm form);
    // A legacy encoding: the ICU converter name and the name shown for it.
    Encoding(std::string converterName, std::string displayName);

    EncodingForm form() const { return form_; }
    bool isUtf8() const { return form_ == EncodingForm::Utf8; }
    // Bytes per code unit: 2 and 4 for UTF-16 and UTF-32, else 1.
    size_t unitSize() const;
    // The ICU converter to open ("gb18030", "ibm-5348_P100-1997"); empty for UTF forms.
    const std::string& converterName() const { return converter_; }
    // What the user sees: "UTF-8", "UTF-16LE", or a legacy encoding as it was
    // named ("GB18030", "windows-1252").
    std::string displayName() const;

    friend bool operator==(const Encoding& a, const Encoding& b)
    {
        return a.form_ == b.form_ && a.converter_ == b.converter_;
    }

private:
    EncodingForm form_ = EncodingForm::Utf8;
    std::string converter_;
    std::string display_;
};

// The marks recognised at the start of a file. UTF-32LE's mark begins with
// UTF-16LE's; the longer one wins.
enum class MarkKind : uint8_t { None, Utf8, Utf16LE, Utf16BE, Utf32LE, Utf32BE };

struct ByteOrderMark {
    MarkKind kind = MarkKind::None;
    // The mark's bytes: not part of the first line, written back first.
    std::string_view bytes() const;
    size_t length() const { return bytes().size(); }
};

ByteOrderMark findByteOrderMark(std::string_view fileStart);

// How an encoding was settled, for the status text and for tests.
enum class EncodingEvidence : uint8_t { Mark, NulPattern, ValidUtf8, Detector, Named };

struct SourceEncoding {
    Encoding encoding;
    ByteOrderMark mark;  // kind None unless the file starts with this encoding's mark
    EncodingEvidence evidence = EncodingEvidence::ValidUtf8;
    // Where the text starts: after the mark.
    size_t textStart() const { return mark.length(); }
};

// Why a named encoding cannot be used: no converter knows the name, or its
// line ends are not the bytes or units of CR and LF (stateful or EBCDIC
// converters). name is the name as given.
struct EncodingRefusal {
    bool unsupported = false;
    std::string name;
};

// The encoding a user named (any ICU converter name or alias), or why not.
struct EncodingLookup {
    std::optional<Encoding> encoding;
    EncodingRefusal refusal;
};
EncodingLookup encodingNamed(std::string_view name);

// The automatic choice: a mark decides; else UTF-16 when the NUL bytes fall
// on one side of the code units; else UTF-8 when every byte sequence is valid
// UTF-8, or nearly every one (a stray byte); else the best guess among legacy
// encodings (legacy_guess.h), in which a Chinese locale has a say. The UTF-8
// check reads every byte, in two halves on two cores when parallel. When
// NUL ends lines (-z), NUL bytes say nothing of UTF-16.
SourceEncoding detectEncoding(std::string_view bytes, bool parallel = false, bool chineseLocale = localeIsChinese(),
                              bool nulEndsLines = false);
// The same in steps, for a file read in pieces: the mark or the NUL
// pattern of its start (the first 64 KiB or more), when they decide; else
// UTF-8 when every byte is; else the guess from the file's lines that begin
// with the line of its first byte that is not UTF-8 (fromLine: 8 MiB of
// them, or the rest of the file), with the utf8Before multi-byte UTF-8
// characters before that line (multiByteCharacters) counting for UTF-8.
std::optional<SourceEncoding> encodingFromStart(std::string_view start);
SourceEncoding encodingOfInvalidUtf8(std::string_view fromLine, int64_t utf8Before = 0,
                                     bool chineseLocale = localeIsChinese());
// The characters of valid UTF-8 that take more than one byte.
int64_t multiByteCharacters(std::string_view validUtf8);
// How far encodingFromStart and encodingOfInvalidUtf8 read.
inline constexpr size_t kEncodingStart = size_t{1} << 16;
inline constexpr size_t kEncodingWindow = size_t{1} << 23;

// The textEncoding setting applied to a file: "auto" (or empty) detects,
// anything else is looked up by name. A named encoding takes the file's mark
// only when the mark is its own ("UTF-16" and "UTF-32" let the mark choose
// the byte order).
// True for a setting that lets the file decide: "auto" in any case, or empty.
bool isAutoEncoding(std::string_view setting);
struct EncodingChoice {
    std::optional<SourceEncoding> source;
    EncodingRefusal refusal;
};
EncodingChoice chooseEncoding(std::string_view setting, std::string_view bytes, bool parallel = false,
                              bool nulEndsLines = false);

// True when every byte sequence of bytes is valid UTF-8; firstInvalid (when
// given) receives the offset of the first invalid one, or bytes.size().
bool isValidUtf8(std::string_view bytes, size_t* firstInvalid = nullptr, bool parallel = false);

}  // namespace quillow
