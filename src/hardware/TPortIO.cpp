#include "hardware/TPortIO.h"

#include "platform/Conversion.h"
#include "platform/Desktop.h"

#include <QCoreApplication>

namespace {
const QString ServiceName = QStringLiteral("zlportio");
constexpr int MaxDriverPath = 255;
// The component's messages break lines with LF then CR.
const QString LineBreak = QStringLiteral("\n\r");

std::uint32_t HexToNumber(const QString& text) {
    return static_cast<std::uint32_t>(StrToInt(QStringLiteral("$") + text));
}

int HexDigits(TZLIOCode width) {
    switch (width) {
    case TZLIOCode::ZLIO_WORD:
        return 4;
    case TZLIOCode::ZLIO_DWORD:
        return 8;
    default:
        return 2;
    }
}
} // namespace

TPortIO::TPortIO(Desktop& desktop, std::unique_ptr<PortSystem> system)
    : desktop_(desktop), system_(std::move(system)),
      caption_(QStringLiteral("SELF TPortIO Component - Error")) {}

TPortIO::~TPortIO() {
    if (driverOpen_ && DriverBased()) system_->CloseDevice();
}

void TPortIO::SetName(const QString& name) {
    name_ = name;
    caption_ = name + QStringLiteral(" Component - Error");
}

void TPortIO::SetIOactive(bool value) {
    if (value) {
        if (active_) return;
        active_ = false;
        if (OpenPortAccess())
            active_ = true;
        else
            ShowPortError(1);
        return;
    }
    if (!driverOpen_ || !active_) return;
    if (DriverBased()) system_->CloseDevice();
    active_ = false;
    driverOpen_ = false;
    ioAddr_.clear();
    ioData_.clear();
}

bool TPortIO::OpenPortAccess() {
    for (std::uint32_t function = 1; function <= 4; ++function)
        codes_[function - 1] = portio::CtlCode(portio::DeviceType, function, 0, 0);
    if (!DriverBased()) {
        driverOpen_ = true;
        directIO_ = true;
        return true;
    }
    if (OpenDriverDevice())
        driverOpen_ = true;
    else if (InstallDriver())
        driverOpen_ = OpenDriverDevice();
    if (!driverOpen_) return false;
    // The open device keeps the driver usable; the service is not needed any more.
    RemoveDriver();
    return true;
}

bool TPortIO::OpenDriverDevice() {
    if (!DriverBased()) return true;
    return system_->OpenDevice();
}

bool TPortIO::InstallDriver() {
    if (!DriverBased()) return true;
    RemoveDriver();
    if (system_->ServiceInstall(DriverPath(), ServiceName) != 0) return false;
    return system_->ServiceStart(ServiceName) == 0;
}

void TPortIO::RemoveDriver() {
    // Stopping a service that does not run, or deleting one that does not
    // exist, is the normal case here.
    system_->ServiceStop(ServiceName);
    system_->ServiceRemove(ServiceName);
}

QString TPortIO::DriverPath() const {
    const QString dir =
        QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QString();
    return (dir + QStringLiteral("/") + ServiceName + QStringLiteral(".sys")).left(MaxDriverPath);
}

std::uint32_t TPortIO::ReadPort(std::uint32_t address, TZLIOCode width) {
    if (directIO_) return system_->PortIn(address, std::uint32_t(width));
    if (!driverOpen_) return 0;
    std::uint32_t value = 0;
    DriverRead(address, width, value);
    return value;
}

bool TPortIO::DriverRead(std::uint32_t address, TZLIOCode width, std::uint32_t& value) {
    std::uint8_t request[portio::RequestSize];
    portio::EncodeRequest({address, std::uint32_t(width), 0}, request);
    std::uint8_t reply[portio::ReplySize] = {};
    const bool done = system_->DeviceIoControl(codes_[Read], request, portio::RequestSize, reply,
                                               portio::ReplySize);
    value = portio::GetLe32(reply);
    return done;
}

void TPortIO::WritePort(std::uint32_t address, TZLIOCode width, std::uint32_t value) {
    if (directIO_) {
        system_->PortOut(address, std::uint32_t(width),
                         value & portio::WidthMask(std::uint32_t(width)));
        return;
    }
    if (!driverOpen_) return;
    std::uint8_t request[portio::RequestSize];
    portio::EncodeRequest({address, std::uint32_t(width), value}, request);
    system_->DeviceIoControl(codes_[Write], request, portio::RequestSize, nullptr, 0);
}

void TPortIO::SetIOFastmode(bool value) {
    if (DriverBased()) {
        if (driverOpen_ && value != fastMode_) {
            SetDirectAccess(value);
            // A refused grant leaves the component on driver requests, and
            // fast mode reads off, so the caller can see it did not take.
            fastMode_ = directIO_;
        } else if (!active_) {
            ShowPortError(3);
        }
        return;
    }
    if (driverOpen_) ShowPortError(2);
}

void TPortIO::SetDirectAccess(bool on) {
    const bool done = system_->DeviceIoControl(codes_[on ? Grant : Revoke], nullptr, 0, nullptr, 0);
    // Port instructions run only after the driver confirmed the grant: one the
    // process may not execute would end the program.
    directIO_ = on && done;
}

void TPortIO::SetIODataCMD(TZLIOCMD command) {
    if (!active_ || !driverOpen_) return;
    switch (command) {
    case TZLIOCMD::ZLIO_READ: {
        ioData_.clear();
        const std::uint32_t address = HexToNumber(ioAddr_);
        const std::uint32_t value = ReadPort(address, dataType_);
        ioData_ =
            QStringLiteral("%1").arg(value, HexDigits(dataType_), 16, QLatin1Char('0')).toUpper();
        break;
    }
    case TZLIOCMD::ZLIO_WRITE: {
        const std::uint32_t value = HexToNumber(ioData_);
        const std::uint32_t address = HexToNumber(ioAddr_);
        WritePort(address, dataType_, value);
        break;
    }
    case TZLIOCMD::ZLIO_NONE:
        break;
    }
}

bool TPortIO::PortAnswers(std::uint32_t address) {
    if (directIO_) return true;
    if (!driverOpen_) return false;
    std::uint32_t value = 0;
    return DriverRead(address, TZLIOCode::ZLIO_BYTE, value);
}

bool TPortIO::CanReadDataLines(std::uint32_t address) {
    if (!active_ || !driverOpen_) return true;
    return system_->CanReadDataLines(address);
}

void TPortIO::ShowPortError(int kind) {
    switch (kind) {
    case 1:
        lastError_ = QStringLiteral("Could not start driver. Something wrong !") + LineBreak +
                     QStringLiteral("Please, check your ") + QStringLiteral("path or filename") +
                     LineBreak;
        break;
    case 2:
        lastError_ = QStringLiteral("Sorry, these option are not allowed for") + LineBreak +
                     QStringLiteral("Windows 95, 95b, 98se and 98ME.") + LineBreak +
                     QStringLiteral("Check your windows version, please.") + LineBreak;
        break;
    default:
        lastError_ = QStringLiteral("Could not start driver. Something wrong !") + LineBreak +
                     QStringLiteral("Please, check your ") + QStringLiteral("IOActive variable") +
                     LineBreak;
        break;
    }
    desktop_.MessageBox({caption_, lastError_, Desktop::Icon::Error, Desktop::Ok});
}
