#include "persistence/IniRegistry.h"

#include "persistence/Cp1252.h"
#include "persistence/EINIRegistryError.h"

#include <cstring>
#include <limits>

TIniRegistry::TIniRegistry()
    : rootKey_(std::make_unique<TIniRegistryList>()), currentKey_(rootKey_.get()) {
    InitNames();
}

TIniRegistry::~TIniRegistry() = default;

void TIniRegistry::InitNames() {
    iniExtension_ = QStringLiteral(".ini");
    backupExtension_ = QStringLiteral(".~ni");
    defectSuffix_ = QStringLiteral("Defekt.~ni");
    signature_ = QByteArrayLiteral("IniRegistry");
}

void TIniRegistry::AfterLoad(char*, qsizetype) {}
void TIniRegistry::BeforeSave(char*, qsizetype) {}

bool TIniRegistry::CheckHeader(TIniMemoryStream& stream) {
    // A file too short to hold a header is treated like one with a wrong
    // header: set aside, not an error at every start.
    if (stream.Remaining() < HeaderSize) return false;
    QByteArray signature(signature_.size(), '\0');
    stream.Read(signature.data(), signature.size());
    if (signature != signature_) return false;
    std::uint8_t version[2] = {};
    stream.Read(version, 2);
    if ((version[0] | version[1] << 8) != FormatVersion) return false;
    std::uint8_t offset[4] = {};
    stream.Read(offset, 4);
    return true;
}

bool TIniRegistry::OpenKey(const QString& path, bool canCreate) {
    if (path.isEmpty()) {
        currentKey_ = rootKey_.get();
        return false;
    }
    QString rest = path;
    if (rest.startsWith(QLatin1Char('\\'))) {
        currentKey_ = rootKey_.get();
        rest.remove(0, 1);
    }
    while (!rest.isEmpty()) {
        const qsizetype slash = rest.indexOf(QLatin1Char('\\'));
        const QString component = slash < 0 ? rest : rest.left(slash);
        rest = slash < 0 ? QString() : rest.mid(slash + 1);
        TIniRegistryList& key = CurrentOrFail();
        if (key.IndexOf(component) >= 0)
            currentKey_ = key.OpenKey(component);
        else if (canCreate)
            currentKey_ = key.CreateKey(component);
        else
            return false;
    }
    return true;
}

TIniRegistryList& TIniRegistry::CurrentOrFail() const {
    if (currentKey_ == nullptr) throw EINIRegistryError(EINIRegistryError::NoCurrentKey);
    return *currentKey_;
}

std::int32_t TIniRegistry::ValueIndex(const QString& name) const {
    return CurrentOrFail().FindOrAdd(name, initype::String, false);
}

void TIniRegistry::WriteValue(const QString& name, std::uint8_t type, const void* data,
                              std::int32_t size) {
    TIniRegistryList& key = CurrentOrFail();
    key.SetValue(key.FindOrAdd(name, type, true), data, size);
}

QString TIniRegistry::ReadString(const QString& name) const {
    const TIniRegistryList& key = CurrentOrFail();
    const std::int32_t index = ValueIndex(name);
    const std::int32_t size = key.ValueSize(index);
    if (size < 2) return QString();
    QByteArray bytes(size, '\0');
    key.GetValue(index, bytes.data(), size);
    bytes.chop(1); // the terminating zero
    return cp1252::decode(bytes);
}

void TIniRegistry::WriteString(const QString& name, const QString& value) {
    const QByteArray bytes = cp1252::encode(value);
    // constData() of a QByteArray is zero-terminated, so size + 1 bytes carry the terminator.
    WriteValue(name, initype::String, bytes.constData(),
               static_cast<std::int32_t>(bytes.size() + 1));
}

std::int32_t TIniRegistry::ReadInteger(const QString& name) const {
    std::int32_t value = 0;
    CurrentOrFail().GetValue(ValueIndex(name), &value, sizeof value);
    return value;
}

void TIniRegistry::WriteInteger(const QString& name, std::int32_t value) {
    WriteValue(name, initype::Integer, &value, sizeof value);
}

bool TIniRegistry::ReadBool(const QString& name) const {
    std::int32_t value = 0;
    CurrentOrFail().GetValue(ValueIndex(name), &value, sizeof value);
    return value != 0;
}

void TIniRegistry::WriteBool(const QString& name, bool value) {
    const std::int32_t stored = value ? 1 : 0;
    WriteValue(name, initype::Boolean, &stored, sizeof stored);
}

// The store keeps floats as the 10 bytes of an 80-bit extended real, which is
// exactly the value part of long double on x86.
static_assert(std::numeric_limits<long double>::digits == 64,
              "float values need the 80-bit extended format");

long double TIniRegistry::ReadFloat(const QString& name) const {
    unsigned char bytes[sizeof(long double)] = {};
    CurrentOrFail().GetValue(ValueIndex(name), bytes, 10);
    long double value = 0;
    std::memcpy(&value, bytes, sizeof value);
    return value;
}

void TIniRegistry::WriteFloat(const QString& name, long double value) {
    unsigned char bytes[sizeof(long double)] = {};
    std::memcpy(bytes, &value, sizeof value);
    WriteValue(name, initype::Float, bytes, 10);
}

QByteArray TIniRegistry::ReadBinary(const QString& name) const {
    const TIniRegistryList& key = CurrentOrFail();
    const std::int32_t index = ValueIndex(name);
    QByteArray bytes(key.ValueSize(index), '\0');
    key.GetValue(index, bytes.data(), static_cast<std::int32_t>(bytes.size()));
    return bytes;
}

void TIniRegistry::WriteBinary(const QString& name, const QByteArray& value) {
    WriteValue(name, initype::Binary, value.constData(), static_cast<std::int32_t>(value.size()));
}

void TIniRegistry::Clear() {
    rootKey_->Clear();
}

QByteArray TIniRegistry::SaveToBytes() {
    TIniMemoryStream stream;
    stream.Write(signature_.constData(), signature_.size());
    const std::uint8_t version[2] = {FormatVersion & 0xFF, FormatVersion >> 8};
    stream.Write(version, 2);
    const std::uint8_t placeholder[4] = {};
    stream.Write(placeholder, 4);
    const auto dataOffset = static_cast<std::int32_t>(stream.Position());
    rootKey_->WriteToStream(stream);
    stream.Seek(dataOffset - 4);
    const std::uint8_t offset[4] = {
        static_cast<std::uint8_t>(dataOffset), static_cast<std::uint8_t>(dataOffset >> 8),
        static_cast<std::uint8_t>(dataOffset >> 16), static_cast<std::uint8_t>(dataOffset >> 24)};
    stream.Write(offset, 4);
    BeforeSave(stream.Bytes().data() + dataOffset, stream.Size() - dataOffset);
    return stream.Bytes();
}

bool TIniRegistry::LoadFromBytes(QByteArray image) {
    TIniMemoryStream stream(std::move(image));
    if (!CheckHeader(stream)) return false;
    AfterLoad(stream.Bytes().data() + stream.Position(), stream.Remaining());
    // Read into a tree of its own: a file that fails half-way must not leave
    // the store half-replaced.
    TIniRegistryList fresh;
    fresh.ReadFromStream(stream);
    rootKey_->TakeItemsFrom(fresh);
    currentKey_ = rootKey_.get();
    return true;
}

QString IniBaseName(const QString& name) {
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const qsizetype slash = name.lastIndexOf(QLatin1Char('/'));
    return dot > slash ? name.left(dot) : name;
}
