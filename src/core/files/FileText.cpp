#include "files/FileText.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
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

std::size_t TFileReader::LineEnd() const {
    std::size_t i = pos_;
    while (i < data_.size() && data_[i] != '\r' && data_[i] != '\n')
        ++i;
    return i;
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

bool TFileReader::ReadLine(std::string& line) {
    if (AtEnd())
        return false;
    const std::size_t end = LineEnd();
    if (end - pos_ > kMaxLineLength)
        return false;
    line.assign(data_, pos_, end - pos_);
    SkipLine();
    return true;
}

void TFileReader::SkipBlanksAndLineEnds() {
    while (pos_ < data_.size() &&
           (data_[pos_] == ' ' || data_[pos_] == '\r' || data_[pos_] == '\n' || data_[pos_] == '\t')) {
        ++pos_;
    }
}

bool TFileReader::ReadInt(std::int32_t& value) {
    const std::size_t start = pos_;
    SkipBlanksAndLineEnds();
    std::size_t i = pos_;
    bool negative = false;
    if (i < data_.size() && (data_[i] == '-' || data_[i] == '+')) {
        negative = data_[i] == '-';
        ++i;
    }
    const std::size_t digitsStart = i;
    std::int64_t v = 0;
    while (i < data_.size() && data_[i] >= '0' && data_[i] <= '9') {
        v = v * 10 + (data_[i] - '0');
        if (v > std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1) {
            pos_ = start;
            return false;
        }
        ++i;
    }
    if (i == digitsStart) {
        pos_ = start;
        return false;
    }
    if (negative)
        v = -v;
    if (v > std::numeric_limits<std::int32_t>::max()) {
        pos_ = start;
        return false;
    }
    value = static_cast<std::int32_t>(v);
    pos_ = i;
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

std::string FormatReal23(double v) {
    if (std::isnan(v))
        return "Nan";
    if (std::isinf(v))
        return v > 0 ? "+Inf" : "-Inf";
    char buffer[64];
    const auto r =
        std::to_chars(buffer, buffer + sizeof buffer, std::abs(v), std::chars_format::scientific, 14);
    const std::string_view s(buffer, static_cast<std::size_t>(r.ptr - buffer));
    // s is d.ddddddddddddddde[+-]xx(x)
    const std::size_t e = s.find('e');
    std::string out;
    out.reserve(23);
    out += std::signbit(v) && v != 0 ? '-' : ' ';
    out += s.substr(0, e);
    out += 'E';
    out += s[e + 1];
    const std::string_view exp = s.substr(e + 2);
    out.append(4 - std::min<std::size_t>(4, exp.size()), '0');
    out += exp;
    return out;
}

void TFileWriter::Int(std::int64_t v) {
    char buffer[24];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, v);
    out_.append(buffer, r.ptr);
}

void TFileWriter::Real(double v) {
    out_ += FormatReal23(v);
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
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::string contents((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad())
        return false;
    data = std::move(contents);
    return true;
}

bool SaveFileSafely(const std::string& path, std::string_view data) {
    namespace fs = std::filesystem;
    const fs::path target(path);
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    std::random_device rd;
    const fs::path temp = folder / (target.filename().string() + ".tmp" + std::to_string(rd() % 1000000));
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0)
        return false;
    bool ok = true;
    std::size_t written = 0;
    while (ok && written < data.size()) {
        const ssize_t n = ::write(fd, data.data() + written, data.size() - written);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            ok = false;
        else
            written += static_cast<std::size_t>(n);
    }
    if (ok && ::fsync(fd) != 0)
        ok = false;
    if (::close(fd) != 0)
        ok = false;
    if (ok) {
        std::error_code ec;
        fs::rename(temp, target, ec);
        ok = !ec;
    }
    if (!ok) {
        std::error_code ec;
        fs::remove(temp, ec);
    }
    return ok;
}

} // namespace zan
