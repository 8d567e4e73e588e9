#pragma once

#include <QValidator>

namespace tovrin {

// Keeps a field to the characters a reminder's text can store (windows-1251). Characters it
// cannot hold are left out as they are typed or pasted, and `refused` names them, so the user
// sees why instead of finding question marks in the saved reminder.
class Cp1251Validator final : public QValidator {
    Q_OBJECT
public:
    using QValidator::QValidator;

    State validate(QString& input, int& pos) const override;

    // Whether windows-1251 has a byte for the character.
    static bool Storable(char32_t character);

signals:
    void refused(const QString& characters) const;
};

} // namespace tovrin
