#pragma once

#include <QString>
#include <stdexcept>
#include <string>

// Base of the programs' own exception classes. The message is kept as QString because every
// message the programs show is Japanese text; what() gives its UTF-8 form for logs and tests.
class EKwError : public std::runtime_error {
public:
    explicit EKwError(const QString& message)
        : std::runtime_error(message.toStdString()), message_(message) {}
    const QString& message() const noexcept { return message_; }

private:
    QString message_;
};
