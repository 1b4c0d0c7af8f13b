#pragma once

#include <string>
#include <string_view>

namespace tovan::io {

// A kind of object that a stream can refer to by name. A factory registers itself
// for as long as it lives; streams find it by the name stored in them.
class Factory {
public:
    explicit Factory(std::string name);
    virtual ~Factory();
    Factory(const Factory&) = delete;
    Factory& operator=(const Factory&) = delete;

    const std::string& name() const { return name_; }

    // The registered factory of that name, or null.
    static const Factory* find(std::string_view name);

private:
    std::string name_;
};

}  // namespace tovan::io
