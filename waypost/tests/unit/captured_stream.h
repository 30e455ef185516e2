#pragma once
// A temporary file standing in for a standard stream, read back as text.

#include <cstdio>
#include <memory>
#include <string>

namespace waypost::testing {

class CapturedStream {
public:
    CapturedStream() : file_(std::tmpfile()) {}
    [[nodiscard]] std::FILE* get() const { return file_.get(); }
    [[nodiscard]] std::string text() const {
        std::fflush(file_.get());
        std::rewind(file_.get());
        std::string out;
        for (int c; (c = std::fgetc(file_.get())) != EOF;) {
            out.push_back(static_cast<char>(c));
        }
        return out;
    }

private:
    struct Close {
        void operator()(std::FILE* f) const noexcept { std::fclose(f); }
    };
    std::unique_ptr<std::FILE, Close> file_;
};

}  // namespace waypost::testing
