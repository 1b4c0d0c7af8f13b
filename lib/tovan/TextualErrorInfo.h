#pragma once

#include "tovan/ErrorInfo.h"

namespace tovan {

class TextualErrorInfo : public ErrorInfo {
public:
    explicit TextualErrorInfo(const char* text) : text_(text) {}

    std::size_t format(char* buffer, std::size_t size) const override {
        return format_with(text_, buffer, size);
    }

private:
    const char* text_;
};

}  // namespace tovan
