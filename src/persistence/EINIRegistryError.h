#pragma once

#include <QString>
#include <exception>
#include <string>

// Every error of the settings store: a numeric code and, for some codes, the
// name involved. what() carries the German message in UTF-8.
class EINIRegistryError : public std::exception {
  public:
    enum Code : int {
        WrongType = 1,
        WrongDataSize = 2,
        NoCurrentKey = 3,
        UnknownDataType = 4,
        ListNotCreated = 5,
        BufferTooSmall = 6,
        IndexOutOfRange = 7,
        NotAKey = 8,
        NotFound = 9,
        AlreadyExists = 10,
    };

    explicit EINIRegistryError(int code, const QString& name = QString());

    int ErrorCode() const noexcept { return code_; }
    const QString& ErrorName() const noexcept { return name_; }
    QString Message() const { return QString::fromStdString(message_); }
    const char* what() const noexcept override { return message_.c_str(); }

    // The message the store shows for a code and name.
    static QString MessageFor(int code, const QString& name);

  private:
    int code_;
    QString name_;
    std::string message_;
};

// A settings or recording file that cannot be read, written or trusted. The
// message names the file and the reason, in the program's language.
class EFileError : public std::exception {
  public:
    explicit EFileError(const QString& message) : message_(message.toStdString()) {}
    QString Message() const { return QString::fromStdString(message_); }
    const char* what() const noexcept override { return message_.c_str(); }

  private:
    std::string message_;
};
