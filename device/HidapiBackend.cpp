#include "HidapiBackend.h"

#include <QFileInfo>

#include <hidapi.h>

#include <cerrno>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct HidapiHandle : HidHandle {
    explicit HidapiHandle(hid_device *d) : device(d) {}
    hid_device *device;
};

hid_device *deviceOf(HidHandle *handle)
{
    auto *h = static_cast<HidapiHandle *>(handle);
    return h ? h->device : nullptr;
}

// hidapi keeps process-wide state: initialise it once, on first use.
bool ensureInit()
{
    static std::once_flag once;
    static bool ok = false;
    std::call_once(once, [] { ok = hid_init() == 0; });
    return ok;
}

// The node exists but this user may not open it for reading and writing.
bool permissionDenied(const QByteArray &path)
{
    if (!QFileInfo::exists(QString::fromLocal8Bit(path)))
        return false;
    if (::access(path.constData(), R_OK | W_OK) == 0)
        return false;
    return errno == EACCES || errno == EPERM;
}

// hidapi 0.13 (hidraw) crashes when the path opens but is not a hidraw node
// (a regular file, a stale or hostile path): only character devices get
// through; a missing node is left to hidapi, which fails cleanly.
bool openableNode(const QByteArray &path)
{
    struct stat info;
    if (::stat(path.constData(), &info) != 0)
        return true;
    return S_ISCHR(info.st_mode);
}

} // namespace

HidapiBackend::HidapiBackend() = default;
HidapiBackend::~HidapiBackend() = default;

QList<HidDeviceInfo> HidapiBackend::enumerate(quint16 vendorId, quint16 productId)
{
    QList<HidDeviceInfo> result;
    if (!ensureInit())
        return result;
    hid_device_info *list = hid_enumerate(vendorId, productId);
    for (hid_device_info *cur = list; cur; cur = cur->next) {
        HidDeviceInfo info;
        info.path = QByteArray(cur->path ? cur->path : "");
        info.vendorId = cur->vendor_id;
        info.productId = cur->product_id;
        info.usagePage = cur->usage_page;
        info.usage = cur->usage;
        info.interfaceNumber = cur->interface_number;
        result.append(info);
    }
    hid_free_enumeration(list);
    return result;
}

HidHandle *HidapiBackend::open(const QByteArray &path, HidChannel)
{
    m_lastOpenDenied = false;
    if (!ensureInit())
        return nullptr;
    if (path.isEmpty() || !openableNode(path))
        return nullptr;
    hid_device *device = hid_open_path(path.constData());
    if (!device) {
        m_lastOpenDenied = permissionDenied(path);
        return nullptr;
    }
    return new HidapiHandle(device);
}

int HidapiBackend::setNonBlocking(HidHandle *handle, bool nonBlocking)
{
    hid_device *device = deviceOf(handle);
    return device ? hid_set_nonblocking(device, nonBlocking ? 1 : 0) : -1;
}

int HidapiBackend::sendFeatureReport(HidHandle *handle, const uchar *data, size_t length)
{
    hid_device *device = deviceOf(handle);
    return device ? hid_send_feature_report(device, data, length) : -1;
}

int HidapiBackend::getFeatureReport(HidHandle *handle, uchar *data, size_t length)
{
    hid_device *device = deviceOf(handle);
    return device ? hid_get_feature_report(device, data, length) : -1;
}

int HidapiBackend::write(HidHandle *handle, const uchar *data, size_t length)
{
    hid_device *device = deviceOf(handle);
    return device ? hid_write(device, data, length) : -1;
}

int HidapiBackend::read(HidHandle *handle, uchar *data, size_t length)
{
    hid_device *device = deviceOf(handle);
    return device ? hid_read(device, data, length) : -1;
}

int HidapiBackend::readTimeout(HidHandle *handle, uchar *data, size_t length, int milliseconds)
{
    hid_device *device = deviceOf(handle);
    return device ? hid_read_timeout(device, data, length, milliseconds) : -1;
}

void HidapiBackend::close(HidHandle *handle)
{
    auto *h = static_cast<HidapiHandle *>(handle);
    if (!h)
        return;
    if (h->device)
        hid_close(h->device);
    delete h;
}

bool HidapiBackend::lastOpenDenied() const
{
    return m_lastOpenDenied.load();
}
