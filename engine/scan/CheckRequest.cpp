#include "engine/scan/CheckRequest.h"

#include "engine/scan/Scanner.h"

namespace tovan {

bool CheckRequest::run(Scanner& scanner, SharedPtr<Connection>& connection) {
    const SharedPtr<FileFinder> finder = connection->create_finder();
    if (!finder || scanner.is_stopping())
        return false;
    return finder->find_file(*root_);
}

}  // namespace tovan
