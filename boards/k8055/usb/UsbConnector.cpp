#include "usb/UsbConnector.h"

#include <libusb.h>

#include <string>
#include <utility>

namespace k8055 {

namespace {

constexpr int BoardInterface = 0;
constexpr unsigned char OutEndpoint = 0x01;
constexpr unsigned char InEndpoint = 0x81;
// The board answers within about 20 ms; a transfer that takes much longer
// means the board is stuck, and the caller must get its -1 rather than wait.
constexpr unsigned int WriteTimeoutMs = 50;
constexpr unsigned int ReadTimeoutMs = 50;

struct ContextDeleter {
    void operator()(libusb_context* context) const { libusb_exit(context); }
};
using ContextPtr = std::unique_ptr<libusb_context, ContextDeleter>;

struct HandleDeleter {
    void operator()(libusb_device_handle* handle) const { libusb_close(handle); }
};
using HandlePtr = std::unique_ptr<libusb_device_handle, HandleDeleter>;

struct DeviceListDeleter {
    void operator()(libusb_device** list) const { libusb_free_device_list(list, 1); }
};
using DeviceListPtr = std::unique_ptr<libusb_device*, DeviceListDeleter>;

// Interface 0, claimed before construction, released at destruction. With
// auto-detach on, the release also re-attaches the kernel driver (vmk80xx)
// that had the board before.
class ClaimedInterface {
  public:
    explicit ClaimedInterface(libusb_device_handle* handle) : handle_(handle) {}
    ~ClaimedInterface() { libusb_release_interface(handle_, BoardInterface); }
    ClaimedInterface(const ClaimedInterface&) = delete;
    ClaimedInterface& operator=(const ClaimedInterface&) = delete;

  private:
    libusb_device_handle* handle_;
};

TransferStatus StatusOf(int rc) {
    switch (rc) {
    case LIBUSB_SUCCESS:
        return TransferStatus::Ok;
    case LIBUSB_ERROR_TIMEOUT:
        return TransferStatus::Timeout;
    case LIBUSB_ERROR_NO_DEVICE:
        return TransferStatus::Gone;
    default:
        return TransferStatus::Failed;
    }
}

std::string Describe(const char* what, int rc) {
    // libusb has its error texts in German too; the program speaks German.
    static const bool german = libusb_setlocale("de") == LIBUSB_SUCCESS;
    (void)german;
    std::string text = std::string(what) + ": " + libusb_strerror(rc);
    if (rc == LIBUSB_ERROR_ACCESS)
        text += " (keine Berechtigung: die udev-Regel für den Hersteller 10cf installieren und der "
                "Gruppe plugdev beitreten)";
    else if (rc == LIBUSB_ERROR_BUSY)
        text += " (ein anderes Programm hält die Karte)";
    return text;
}

class UsbTransport : public Transport {
  public:
    // `handle` has interface 0 claimed already.
    explicit UsbTransport(HandlePtr handle) : handle_(std::move(handle)), claim_(handle_.get()) {}

    TransferStatus Write(const Report& report) override {
        Report copy = report; // libusb takes a non-const buffer
        int sent = 0;
        const int rc = libusb_interrupt_transfer(handle_.get(), OutEndpoint, copy.data(),
                                                 ReportSize, &sent, WriteTimeoutMs);
        if (rc == LIBUSB_SUCCESS && sent != ReportSize) return TransferStatus::Failed;
        return StatusOf(rc);
    }

    TransferStatus Read(Report& report, int& received) override {
        received = 0;
        const int rc = libusb_interrupt_transfer(handle_.get(), InEndpoint, report.data(),
                                                 ReportSize, &received, ReadTimeoutMs);
        return StatusOf(rc);
    }

  private:
    // Declared in this order so the interface is released before the handle closes.
    HandlePtr handle_;
    ClaimedInterface claim_;
};

std::unique_ptr<Transport> OpenBoard(libusb_device* device, std::string& error) {
    libusb_device_handle* raw = nullptr;
    int rc = libusb_open(device, &raw);
    if (rc != LIBUSB_SUCCESS) {
        error = Describe("das Öffnen der Karte ist misslungen", rc);
        return nullptr;
    }
    HandlePtr handle(raw);
    // Platforms without driver detaching answer NOT_SUPPORTED; the claim
    // below then tells whether the interface is free.
    libusb_set_auto_detach_kernel_driver(raw, 1);
    int configuration = -1;
    if (libusb_get_configuration(raw, &configuration) == LIBUSB_SUCCESS && configuration == 0)
        libusb_set_configuration(raw, 1);
    rc = libusb_claim_interface(raw, BoardInterface);
    if (rc != LIBUSB_SUCCESS) {
        error = Describe("die Schnittstelle der Karte lässt sich nicht belegen", rc);
        return nullptr;
    }
    return std::make_unique<UsbTransport>(std::move(handle));
}

class UsbConnector : public Connector {
  public:
    std::unique_ptr<Transport> Open(int cardAddress, std::string& error) override {
        if (!context_) {
            libusb_context* raw = nullptr;
            const int rc = libusb_init(&raw);
            if (rc != LIBUSB_SUCCESS) {
                error = Describe("libusb lässt sich nicht starten", rc);
                return nullptr;
            }
            context_.reset(raw);
        }
        libusb_device** raw = nullptr;
        const ssize_t count = libusb_get_device_list(context_.get(), &raw);
        if (count < 0) {
            error = Describe("die USB-Geräte lassen sich nicht auflisten", static_cast<int>(count));
            return nullptr;
        }
        const DeviceListPtr list(raw);
        const auto product = static_cast<std::uint16_t>(FirstProductId + cardAddress);
        for (ssize_t i = 0; i < count; ++i) {
            libusb_device_descriptor descriptor{};
            if (libusb_get_device_descriptor(raw[i], &descriptor) != LIBUSB_SUCCESS) continue;
            if (descriptor.idVendor == VendorId && descriptor.idProduct == product)
                return OpenBoard(raw[i], error);
        }
        return nullptr; // no such board plugged in: no error text
    }

  private:
    ContextPtr context_;
};

} // namespace

std::unique_ptr<Connector> MakeUsbConnector() {
    return std::make_unique<UsbConnector>();
}

} // namespace k8055
