// Reading and writing the line-oriented text files of the program (network files and others):
// 8-bit text, lines ending in CR LF, numbers that a reader may find across blanks and line ends,
// fixed-width texts that sit exactly where a layout puts them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zan {

// A cursor over a whole file held in memory. Every read reports failure instead of throwing; a
// failed read leaves the cursor where the field should have started.
// Takes the line of `text` that starts at `pos`, without its LF and one trailing CR, and moves `pos`
// past it. Returns false when no text is left.
bool NextTextLine(std::string_view text, std::size_t& pos, std::string_view& line);

class TFileReader {
public:
    static constexpr std::size_t kMaxLineLength = 1 << 20; // longer lines are refused as malformed

    // A CR that does not end a line reads as a blank, as writers store it.
    explicit TFileReader(std::string data);

    bool AtEnd() const { return pos_ >= data_.size(); }
    // The rest of the current line (without its CR LF or LF), moving to the next line. False at the
    // end of the data or when the line is longer than kMaxLineLength.
    bool ReadLine(std::string& line);
    // The same without copying: the view stays valid as long as the reader.
    bool ReadLineView(std::string_view& line);
    // Moves to the start of the next line, discarding the rest of this one.
    void SkipLine();
    // The rest of the current line without moving.
    std::string_view RestOfLine() const;

    // An integer: blanks and line ends before it are skipped; then an optional sign and digits.
    // Refuses a value beyond 32 bits.
    bool ReadInt(std::int32_t& value);
    // A real: blanks and line ends skipped, then a decimal or scientific number, or "Nan", "+Inf",
    // "-Inf" in any case; the number ends at a blank or the line's end.
    bool ReadReal(double& value);
    // Exactly n characters of the current line, or fewer when the line ends first.
    std::string ReadText(std::size_t n);
    // Skips exactly n characters of the current line (fewer when it ends first).
    void Skip(std::size_t n);
    // One blank separator, if there is one.
    void SkipBlank();
    // The rest of the current line, moving to the next.
    std::string ReadFreeText();

    std::size_t Position() const { return pos_; }

private:
    std::size_t LineEnd() const; // index of the CR or LF ending the current line, or the data's end
    void SkipBlanksAndLineEnds();

    std::string data_;
    std::size_t pos_ = 0;
};

// Builds a file's text in memory; the caller writes it out with SaveFileSafely.
class TSafeFile;

// Builds a file's text. Without a file it keeps the whole text in memory (Data); with one it passes
// the text on in chunks, so that a large network is never held twice.
class TFileWriter {
public:
    TFileWriter() = default;
    explicit TFileWriter(TSafeFile& file) : file_(&file) {}

    void Int(std::int64_t v);
    // The fixed scientific form of 23 characters: ' 1.50000000000000E+0000'; "Nan", "+Inf", "-Inf".
    void Real(double v);
    // "0.0" for zero, "12.0" for whole numbers strictly between 0.9 and 10000 in magnitude, else the
    // real form. A value that is not a number is written "0.0" and counted in RealErrors.
    void ShortReal(double v);
    // The text cut to n characters and padded with blanks to n; CR and LF become blanks.
    void Text(std::string_view s, std::size_t n);
    // The text to the end of the line; CR and LF become blanks so that it stays one line.
    void FreeText(std::string_view s);
    void Flag(bool b) { Int(b ? 1 : 0); }
    void Blank(std::size_t n = 1) { out_.append(n, ' '); }
    void Raw(std::string_view s) { out_.append(s); }
    void EndLine() {
        out_.append("\r\n");
        if (file_ != nullptr && out_.size() >= kChunk)
            Flush();
    }
    // Passes the text so far to the file (nothing without one).
    void Flush();
    // A whole line of text as it is (CR and LF become blanks).
    void Line(std::string_view s) {
        FreeText(s);
        EndLine();
    }

    const std::string& Data() const { return out_; }
    std::string& Data() { return out_; }
    int RealErrors() const { return realErrors_; }

private:
    static constexpr std::size_t kChunk = 1 << 20;
    std::string out_;
    TSafeFile* file_ = nullptr;
    int realErrors_ = 0;
};

// A file written through a temporary file in the target's folder: Commit renames it over the target
// only when every write, the flush to disk and the close succeeded; otherwise (or without Commit) the
// temporary file is removed and the target stays as it was.
class TSafeFile {
public:
    explicit TSafeFile(const std::string& path);
    ~TSafeFile();
    TSafeFile(const TSafeFile&) = delete;
    TSafeFile& operator=(const TSafeFile&) = delete;

    bool IsOpen() const { return fd_ >= 0; }
    bool Write(std::string_view data);
    bool Commit();

private:
    std::string target_;
    std::string temp_;
    int fd_ = -1;
    bool ok_ = true;
};

std::string FormatReal23(double v);

// Reads a whole file; false when it cannot be opened or read.
bool LoadFile(const std::string& path, std::string& data);

// Writes data to a temporary file in the target's folder and renames it over the target only when the
// write, flush and close succeeded; otherwise removes the temporary file and leaves the target as it was.
bool SaveFileSafely(const std::string& path, std::string_view data);

} // namespace zan
