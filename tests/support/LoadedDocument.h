#pragma once

#include <string>

#include "app/DamagedFiles.h"
#include "app/Document.h"

namespace tovan::test {

// A document read from its data folder, as the program reads it when it starts.
class LoadedDocument : public Document {
public:
    explicit LoadedDocument(const std::string& data_folder) : Document(data_folder) {
        load(damaged);
    }

    DamagedFiles damaged;
};

}  // namespace tovan::test
