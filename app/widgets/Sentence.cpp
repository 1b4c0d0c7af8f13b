#include "app/widgets/Sentence.h"

namespace tovan {

QString as_sentence(const QString& text) {
    QString sentence = text;
    if (!sentence.isEmpty())
        sentence[0] = sentence[0].toUpper();
    return sentence;
}

QString as_sentence(const std::string& text) {
    return as_sentence(QString::fromStdString(text));
}

}  // namespace tovan
