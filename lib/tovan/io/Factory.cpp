#include "tovan/io/Factory.h"

#include <algorithm>
#include <mutex>
#include <vector>

namespace tovan::io {
namespace {

struct Factories {
    std::mutex lock;
    std::vector<const Factory*> all;
};

Factories& factories() {
    static Factories* const the_factories = new Factories;
    return *the_factories;
}

}  // namespace

Factory::Factory(std::string name) : name_(std::move(name)) {
    Factories& f = factories();
    std::lock_guard guard(f.lock);
    f.all.push_back(this);
}

Factory::~Factory() {
    Factories& f = factories();
    std::lock_guard guard(f.lock);
    f.all.erase(std::remove(f.all.begin(), f.all.end(), this), f.all.end());
}

const Factory* Factory::find(std::string_view name) {
    Factories& f = factories();
    std::lock_guard guard(f.lock);
    for (const Factory* factory : f.all)
        if (factory->name() == name)
            return factory;
    return nullptr;
}

}  // namespace tovan::io
