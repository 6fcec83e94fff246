#include "files/FileText.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <random>

#include <fcntl.h>
#include <unistd.h>

#include "calc/NumberText.h"

namespace zan {

// ---------------------------------------------------------------------------------------------
// Reader

TFileReader::TFileReader(std::string data) : data_(std::move(data)) {
    // Files normally hold CRs only before LFs: look for any other first, in one branch-free pass.
    const auto* d = reinterpret_cast<const unsigned char*>(data_.data());
    const std::size_t n = data_.size();
    std::size_t lone = 0; // a counting loop the compiler turns into vector code
    for (std::size_t i = 0; i + 1 < n; ++i)
        lone += static_cast<unsigned>(d[i] == '\r') & static_cast<unsigned>(d[i + 1] != '\n');
    if (lone == 0)
        return;
    for (std::size_t i = data_.find('\r'); i != std::string::npos; i = data_.find('\r', i + 1)) {
        if (i + 1 < data_.size() && data_[i + 1] != '\n')
            data_[i] = ' ';
    }
}

std::size_t TFileReader::LineEnd() const {
    // A line ends at LF; a CR right before it (or at the end of the data) belongs to the line end.
    const void* lf = std::memchr(data_.data() + pos_, '\n', data_.size() - pos_);
    std::size_t end =
        lf != nullptr ? static_cast<std::size_t>(static_cast<const char*>(lf) - data_.data()) : data_.size();
    if (end > pos_ && data_[end - 1] == '\r')
        --end;
    return end;
}

std::string_view TFileReader::RestOfLine() const {
    return std::string_view(data_).substr(pos_, LineEnd() - pos_);
}

void TFileReader::SkipLine() {
    std::size_t i = LineEnd();
    if (i < data_.size() && data_[i] == '\r')
        ++i;
    if (i < data_.size() && data_[i] == '\n')
        ++i;
    pos_ = i;
}

bool TFileReader::ReadLineView(std::string_view& line) {
    const std::size_t size = data_.size();
    if (pos_ >= size)
        return false;
    const char* base = data_.data();
    const void* lf = std::memchr(base + pos_, '\n', size - pos_);
    const std::size_t next =
        lf != nullptr ? static_cast<std::size_t>(static_cast<const char*>(lf) - base) + 1 : size;
    std::size_t end = lf != nullptr ? next - 1 : size;
    if (end > pos_ && base[end - 1] == '\r')
        --end;
    if (end - pos_ > kMaxLineLength)
        return false;
    line = std::string_view(base + pos_, end - pos_);
    pos_ = next;
    return true;
}

bool TFileReader::ReadLine(std::string& line) {
    std::string_view view;
    if (!ReadLineView(view))
        return false;
    line.assign(view);
    return true;
}

void TFileReader::SkipBlanksAndLineEnds() {
    while (pos_ < data_.size() &&
           (data_[pos_] == ' ' || data_[pos_] == '\r' || data_[pos_] == '\n' || data_[pos_] == '\t')) {
        ++pos_;
    }
}

bool TFileReader::ReadInt(std::int32_t& value) {
    const char* p = data_.data() + pos_;
    const char* const e = data_.data() + data_.size();
    while (p < e && (*p == ' ' || *p == '\n' || *p == '\r' || *p == '\t'))
        ++p;
    bool negative = false;
    if (p < e && (*p == '-' || *p == '+')) {
        negative = *p == '-';
        ++p;
    }
    const char* const digits = p;
    std::uint64_t v = 0;
    for (; p < e; ++p) {
        const unsigned d = static_cast<unsigned>(static_cast<unsigned char>(*p)) - '0';
        if (d > 9)
            break;
        v = v * 10 + d;
        if (v > 2147483648u)
            return false;
    }
    if (p == digits || (!negative && v > 2147483647u))
        return false;
    value =
        negative ? static_cast<std::int32_t>(-static_cast<std::int64_t>(v)) : static_cast<std::int32_t>(v);
    pos_ = static_cast<std::size_t>(p - data_.data());
    return true;
}

bool TFileReader::ReadReal(double& value) {
    const std::size_t start = pos_;
    SkipBlanksAndLineEnds();
    std::size_t i = pos_;
    while (i < data_.size() && data_[i] != ' ' && data_[i] != '\r' && data_[i] != '\n' && data_[i] != '\t')
        ++i;
    const std::string_view token = std::string_view(data_).substr(pos_, i - pos_);
    auto lower = [](std::string_view s) {
        std::string out(s);
        for (char& c : out) {
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c - 'A' + 'a');
        }
        return out;
    };
    const std::string t = lower(token);
    if (t == "nan") {
        value = std::numeric_limits<double>::quiet_NaN();
    } else if (t == "+inf" || t == "inf") {
        value = std::numeric_limits<double>::infinity();
    } else if (t == "-inf") {
        value = -std::numeric_limits<double>::infinity();
    } else if (!ParseReal(token, value)) {
        pos_ = start;
        return false;
    }
    pos_ = i;
    return true;
}

std::string TFileReader::ReadText(std::size_t n) {
    const std::size_t end = LineEnd();
    const std::size_t take = std::min(n, end - pos_);
    std::string s = data_.substr(pos_, take);
    pos_ += take;
    return s;
}

void TFileReader::Skip(std::size_t n) {
    pos_ += std::min(n, LineEnd() - pos_);
}

void TFileReader::SkipBlank() {
    if (pos_ < data_.size() && data_[pos_] == ' ')
        ++pos_;
}

std::string TFileReader::ReadFreeText() {
    std::string s(RestOfLine());
    SkipLine();
    return s;
}

// ---------------------------------------------------------------------------------------------
// Writer

namespace {
// Appends the 23-character form of a finite value.
void AppendReal23(std::string& out, double v) {
    char buffer[64];
    const auto r =
        std::to_chars(buffer, buffer + sizeof buffer, std::abs(v), std::chars_format::scientific, 14);
    const std::string_view s(buffer, static_cast<std::size_t>(r.ptr - buffer));
    // s is d.ddddddddddddddde[+-]xx(x)
    const std::size_t e = s.find('e');
    out += std::signbit(v) && v != 0 ? '-' : ' ';
    out.append(s.substr(0, e));
    out += 'E';
    out += s[e + 1];
    const std::string_view exp = s.substr(e + 2);
    out.append(4 - std::min<std::size_t>(4, exp.size()), '0');
    out.append(exp);
}
} // namespace

std::string FormatReal23(double v) {
    if (std::isnan(v))
        return "Nan";
    if (std::isinf(v))
        return v > 0 ? "+Inf" : "-Inf";
    std::string out;
    AppendReal23(out, v);
    return out;
}

void TFileWriter::Flush() {
    if (file_ == nullptr)
        return;
    file_->Write(out_);
    out_.clear();
}

void TFileWriter::Int(std::int64_t v) {
    char buffer[24];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, v);
    out_.append(buffer, r.ptr);
}

void TFileWriter::Real(double v) {
    if (std::isfinite(v)) {
        AppendReal23(out_, v);
    } else {
        out_ += FormatReal23(v);
    }
}

void TFileWriter::ShortReal(double v) {
    if (!std::isfinite(v)) {
        ++realErrors_;
        out_ += "0.0";
        return;
    }
    if (v == 0) {
        out_ += "0.0";
        return;
    }
    const double a = std::abs(v);
    if (a > 0.9 && a < 10000 && v == std::trunc(v)) {
        Int(static_cast<std::int64_t>(v));
        out_ += ".0";
        return;
    }
    Real(v);
}

namespace {
void AppendOneLine(std::string& out, std::string_view s) {
    for (char c : s)
        out += (c == '\r' || c == '\n') ? ' ' : c;
}
} // namespace

void TFileWriter::Text(std::string_view s, std::size_t n) {
    const std::string_view cut = s.substr(0, std::min(n, s.size()));
    AppendOneLine(out_, cut);
    out_.append(n - cut.size(), ' ');
}

void TFileWriter::FreeText(std::string_view s) {
    AppendOneLine(out_, s);
}

// ---------------------------------------------------------------------------------------------
// Files

bool LoadFile(const std::string& path, std::string& data) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr)
        return false;
    std::string contents;
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    if (!ec)
        contents.reserve(static_cast<std::size_t>(size));
    char buffer[1 << 16];
    bool ok = true;
    while (true) {
        const std::size_t n = std::fread(buffer, 1, sizeof buffer, f);
        contents.append(buffer, n);
        if (n < sizeof buffer) {
            ok = std::ferror(f) == 0;
            break;
        }
    }
    std::fclose(f);
    if (!ok)
        return false;
    data = std::move(contents);
    return true;
}

TSafeFile::TSafeFile(const std::string& path) : target_(path) {
    namespace fs = std::filesystem;
    const fs::path target(path);
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    std::random_device rd;
    for (int attempt = 0; attempt < 10 && fd_ < 0; ++attempt) {
        temp_ = (folder / (target.filename().string() + ".tmp" + std::to_string(rd() % 1000000))).string();
        fd_ = ::open(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd_ < 0 && errno != EEXIST)
            break;
    }
    ok_ = fd_ >= 0;
}

TSafeFile::~TSafeFile() {
    if (fd_ >= 0) {
        ::close(fd_);
        std::error_code ec;
        std::filesystem::remove(temp_, ec);
    }
}

bool TSafeFile::Write(std::string_view data) {
    std::size_t written = 0;
    while (ok_ && written < data.size()) {
        const ssize_t n = ::write(fd_, data.data() + written, data.size() - written);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            ok_ = false;
        else
            written += static_cast<std::size_t>(n);
    }
    return ok_;
}

bool TSafeFile::Commit() {
    if (fd_ < 0)
        return false;
    bool ok = ok_ && ::fsync(fd_) == 0;
    if (::close(fd_) != 0)
        ok = false;
    fd_ = -1;
    std::error_code ec;
    if (ok) {
        std::filesystem::rename(temp_, target_, ec);
        ok = !ec;
    }
    if (!ok)
        std::filesystem::remove(temp_, ec);
    return ok;
}

bool SaveFileSafely(const std::string& path, std::string_view data) {
    TSafeFile file(path);
    return file.IsOpen() && file.Write(data) && file.Commit();
}

bool NextTextLine(std::string_view text, std::size_t& pos, std::string_view& line) {
    if (pos >= text.size())
        return false;
    std::size_t end = text.find('\n', pos);
    if (end == std::string_view::npos)
        end = text.size();
    line = text.substr(pos, end - pos);
    pos = end + 1;
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    return true;
}

} // namespace zan
