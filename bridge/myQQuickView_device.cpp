// The mouse and keyboard settings slots and the pointer settings of
// myQQuickView: each setting slot records the value in the current profile
// first and then sends its command; reading slots read the profile or ask
// the device as their comment says.
//
// Lists from QML may be shorter than a command's block: missing elements
// count as 0 so nothing is read past the list's end. Without a device link
// (nullptr) no command is sent and device reads return what an unanswered
// command would.

#include "myQQuickView.h"

#include "Hid_Thread.h"
#include "PointerSettings.h"
#include "UserDialogs.h"

#include <QDebug>

#include <algorithm>

namespace {

constexpr uint kMouse = 1;
constexpr uint kKeyboard = 0;
constexpr int kProfileCount = 10;
constexpr uchar kScrollSwapBit = 0x40;
constexpr uchar kStoreOnly = 0xFF;
constexpr uchar kNoAnswerDpiStages = 8;

// Element i of a QML byte list as a byte; 0 past the end.
uchar byteAt(const QVariantList &list, int i)
{
    return i < list.size() ? uchar(list.at(i).toInt() & 0xFF) : 0;
}

template <std::size_t N> void fillBytes(std::array<uchar, N> &bytes, const QVariantList &list)
{
    for (std::size_t i = 0; i < N; ++i)
        bytes[i] = byteAt(list, int(i));
}

QVariantList byteList(const uchar *bytes, int count)
{
    QVariantList list;
    list.reserve(count);
    for (int i = 0; i < count; ++i)
        list.append(int(bytes[i]));
    return list;
}

QVariantList unsignedList(const QVariantList &stored)
{
    QVariantList list;
    list.reserve(stored.size());
    for (const QVariant &v : stored)
        list.append(v.toUInt());
    return list;
}

void swapEntries(uchar *matrix, int a, int b)
{
    std::swap_ranges(matrix + 4 * a, matrix + 4 * a + 4, matrix + 4 * b);
}

} // namespace

// ---- mouse settings bridge (and the commands shared with the keyboard) ----

QVariantList myQQuickView::getKeydefine(QVariant matrixId)
{
    const uint did = m_hid ? m_hid->currentDevice() : kMouse;
    if (did == kMouse)
        return profileList(QStringLiteral("keydefine_Z3/") + matrixId.toString());
    if (did == kKeyboard)
        return profileList(QStringLiteral("keydefine/") + matrixId.toString());
    return {};
}

void myQQuickView::ui_01H_SetReportRate(uchar rate)
{
    const uint did = m_hid ? m_hid->currentDevice() : kMouse;
    if (did == kMouse)
        profileWrite(QStringLiteral("sensor/reportRate_Z3"), int(rate));
    if (m_hid)
        m_hid->hid_01H_SetReportRate(rate);
}

void myQQuickView::ui_02H_SetCurrentProfile(int profile)
{
    if (profile == m_currentProfile)
        return;
    // Only ten profiles exist; any other index would leave every later
    // profile read and write without a store.
    if (profile < 0 || profile >= kProfileCount) {
        qDebug() << "ui_02H_SetCurrentProfile: no profile" << profile;
        return;
    }
    m_currentProfile = profile;
    // The mouse switches profiles on the host only.
    if (m_hid && m_hid->currentDevice() == kKeyboard)
        m_hid->hid_02H_SetCurrentProfile(uchar(profile & 0xFF));
}

QString myQQuickView::ui_80H_GetFWVersion()
{
    QString version;
    if (m_hid)
        m_hid->hid_80H_GetFWVersion(version);
    return version;
}

QVariant myQQuickView::ui_81H_GetReportRate()
{
    const uint did = m_hid ? m_hid->currentDevice() : kMouse;
    if (did == kMouse)
        return int(profileValue(QStringLiteral("sensor/reportRate_Z3"), 0).toUInt() & 0xFF);
    uchar rate = 0;
    if (m_hid)
        m_hid->hid_81H_GetReportRate(rate);
    return int(rate);
}

QVariant myQQuickView::ui_82H_GetCurrentProfile()
{
    uchar profile = 0;
    if (m_hid)
        m_hid->hid_82H_GetCurrentProfile(profile);
    return int(profile);
}

QVariant myQQuickView::getSensorType()
{
    uchar type = 0, option1 = 0, option2 = 0;
    if (m_hid)
        m_hid->hid_83H_GetFunctionOption(type, option1, option2);
    return int(type);
}

bool myQQuickView::chkIsLogoLedWork()
{
    if (!m_hid)
        return false;
    uchar option1 = 0xFF, option2 = 0, option3 = 0;
    const bool answered = m_hid->hid_87H_GetLEDInstructFunction(0, option1, option2, option3);
    return answered && option1 == 0;
}

bool myQQuickView::getMsgAns_FoolProofing()
{
    const QString title = tr(qPrintable(QStringLiteral("%1").arg(m_msgStrings.value(4))));
    const QString text = QStringLiteral("%1").arg(m_msgStrings.value(5));
    return UserDialogs::question(title, text);
}

void myQQuickView::ui_0BH_SetCurrentDPIStage(uchar dpiStage)
{
    profileWrite(QStringLiteral("sensor/stage_Z3"), int(dpiStage));
    if (m_hid)
        m_hid->hid_0BH_SetCurrentDPIStage(dpiStage);
}

QVariant myQQuickView::ui_8BH_GetCurrentDPIStage()
{
    return int(profileValue(QStringLiteral("sensor/stage_Z3"), 0).toUInt() & 0xFF);
}

void myQQuickView::ui_0DH_SetRGBLedEffect(uchar effect, uchar option1, uchar option2, QVariantList configs)
{
    profileWrite(QStringLiteral("color_Z3/ledEffect"), configs);
    if (m_hid)
        m_hid->hid_0DH_SetRGBLedEffect(effect, option1, option2);
}

QVariantList myQQuickView::ui_8DH_GetRGBLedEffect()
{
    return unsignedList(profileList(QStringLiteral("color_Z3/ledEffect")));
}

void myQQuickView::ui_10H_SetLED8StageColor(uchar type, QVariantList src24)
{
    profileWrite(QStringLiteral("color_Z3/type") + QString::number(type), src24);
    std::array<uchar, 24> block{};
    fillBytes(block, src24);
    if (type == 2) {
        // Eight colour indexes, two per byte: even stage low nibble, odd stage high.
        for (int k = 0; k < 4; ++k)
            block[k] = uchar((block[2 * k] & 0x0F) | (block[2 * k + 1] << 4));
    }
    if (m_hid)
        m_hid->hid_10H_SetLED8StageColor(type, block.data());
}

QVariantList myQQuickView::ui_90H_GetLED8StageColor(uchar type)
{
    return unsignedList(profileList(QStringLiteral("color_Z3/type") + QString::number(type)));
}

void myQQuickView::ui_11H_SetDPISet(uchar dpiStage, QVariantList src8, QVariantList valueForIndex)
{
    profileWrite(QStringLiteral("sensor/dpi_Z3"), valueForIndex);
    std::array<uchar, 8> codes{};
    fillBytes(codes, src8);
    if (m_hid)
        m_hid->hid_11H_SetDPISet(dpiStage, codes.data());
}

QVariantList myQQuickView::ui_91H_GetDPISet()
{
    return profileList(QStringLiteral("sensor/dpi_Z3"));
}

uchar myQQuickView::ui_91H_SyncDPI()
{
    if (!m_hid)
        return kNoAnswerDpiStages;
    uchar stages = 0;
    std::array<uchar, 8> codes{};
    return m_hid->hid_91H_GetDPISet(stages, codes.data()) ? stages : kNoAnswerDpiStages;
}

void myQQuickView::ui_12H_SetKeyMatrix(QVariantList src64)
{
    std::array<uchar, 64> matrix{};
    fillBytes(matrix, src64);
    // The profile keeps the page's order, one key per button.
    for (int k = 0; k < 16; ++k) {
        QVariantList entry;
        for (int j = 4 * k; j < 4 * k + 4; ++j)
            entry.append(j < src64.size() ? src64.at(j) : QVariant(0));
        profileWrite(QStringLiteral("keydefine_Z3/") + QString::number(k), entry);
    }
    // The device holds buttons 3/4 and 14/15 the other way round.
    swapEntries(matrix.data(), 3, 4);
    swapEntries(matrix.data(), 14, 15);
    if (m_hid)
        m_hid->hid_12H_SetKeyMatrix(matrix.data());
}

QVariantList myQQuickView::ui_92H_GetKeyMatrix()
{
    std::array<uchar, 64> matrix{};
    if (m_hid)
        m_hid->hid_92H_GetKeyMatrix(matrix.data());
    return byteList(matrix.data(), int(matrix.size()));
}

QVariantList myQQuickView::ui_93H_GetMacroKey(uchar macroId)
{
    std::array<uchar, 128> block{};
    if (m_hid)
        m_hid->hid_93H_GetMacroKey(macroId, block.data());
    return byteList(block.data(), int(block.size()));
}

// ---- keyboard settings bridge ----------------------------------------------

void myQQuickView::ui_03H_SetKeyboardoption(uchar byte1, uchar byte2, uchar byte3, uchar byte4)
{
    if (m_hid)
        m_hid->hid_03H_SetKeyboardoption(byte1, byte2, byte3, byte4);
}

void myQQuickView::ui_04H_SetButtonSensitivity(uchar sens1, uchar sens2, uchar sens3, uchar sens4)
{
    if (m_hid)
        m_hid->hid_04H_SetButtonSensitivity(sens1, sens2, sens3, sens4);
}

void myQQuickView::ui_07H_SetControlIndicatorLight(uchar effect, uchar frequenty)
{
    if (m_hid)
        m_hid->hid_07H_SetControlIndicatorLight(effect, frequenty);
}

void myQQuickView::ui_08H_SetLEDType(uchar option, uchar effect, uchar speed, uchar light, uchar color,
                                     uchar direction)
{
    // The option byte only steers the device; the profile keeps the look.
    profileWrite(QStringLiteral("color/ledType"),
                 QVariantList{int(effect), int(speed), int(light), int(color), int(direction)});
    if (m_hid)
        m_hid->hid_08H_SetLEDType(option, effect, speed, light, color, direction);
}

void myQQuickView::ui_09H_SetKeyboardMode(uchar mode)
{
    if (m_hid)
        m_hid->hid_09H_SetKeyboardMode(mode);
}

void myQQuickView::ui_0DH_SetKeyMatrix(QVariantList src512)
{
    // Keys 0..125; the last 8 bytes go to the device only.
    for (int n = 0; n < 126; ++n) {
        QVariantList entry;
        for (int j = 4 * n; j < 4 * n + 4; ++j)
            entry.append(j < src512.size() ? src512.at(j) : QVariant(0));
        profileWrite(QStringLiteral("keydefine/") + QString::number(n), entry);
    }
    std::array<uchar, 512> matrix{};
    fillBytes(matrix, src512);
    if (m_hid)
        m_hid->hid_0DH_SetKeyMatrix(matrix.data());
}

void myQQuickView::ui_0EH_SetKeyOnOff(QVariantList src21)
{
    std::array<uchar, 21> table{};
    fillBytes(table, src21);
    if (m_hid)
        m_hid->hid_0EH_SetKeyOnOff(table.data());
}

void myQQuickView::ui_12H_SetUserPicture(uchar index, uchar option, QVariantList src512)
{
    profileWrite(QStringLiteral("userPicture/") + QString::number(index), src512);
    if (option == kStoreOnly)
        return;
    std::array<uchar, 512> picture{};
    fillBytes(picture, src512);
    if (m_hid)
        m_hid->hid_12H_SetUserPicture(index, option, picture.data());
}

void myQQuickView::ui_13H_SetRecoveryData()
{
    if (m_hid)
        m_hid->hid_13H_SetRecoveryData();
}

void myQQuickView::ui_14H_SetColor(uchar index, uchar rValue, uchar gValue, uchar bValue)
{
    profileWrite(QStringLiteral("color/") + QString::number(index),
                 QVariantList{int(rValue), int(gValue), int(bValue)});
    if (m_hid)
        m_hid->hid_14H_SetColor(index, rValue, gValue, bValue);
}

QVariantList myQQuickView::ui_83H_GetKeyboardoption()
{
    std::array<uchar, 4> b{};
    if (m_hid)
        m_hid->hid_83H_GetKeyboardoption(b[0], b[1], b[2], b[3]);
    return byteList(b.data(), 4);
}

QVariantList myQQuickView::ui_84H_GetButtonSensitivity()
{
    std::array<uchar, 4> s{};
    if (m_hid)
        m_hid->hid_84H_GetButtonSensitivity(s[0], s[1], s[2], s[3]);
    return byteList(s.data(), 4);
}

QVariantList myQQuickView::ui_88H_GetLEDType()
{
    return profileList(QStringLiteral("color/ledType"));
}

QVariant myQQuickView::ui_89H_GetKeyboardMode()
{
    uchar mode = 0;
    if (m_hid)
        m_hid->hid_89H_GetKeyboardMode(mode);
    return int(mode);
}

QVariantList myQQuickView::ui_8DH_GetKeyMatrix()
{
    std::array<uchar, 512> matrix{};
    if (m_hid)
        m_hid->hid_8DH_GetKeyMatrix(matrix.data());
    return byteList(matrix.data(), int(matrix.size()));
}

QVariantList myQQuickView::ui_8EH_GetKeyOnOff()
{
    std::array<uchar, 21> table{};
    if (m_hid)
        m_hid->hid_8EH_GetKeyOnOff(table.data());
    return byteList(table.data(), int(table.size()));
}

QVariantList myQQuickView::ui_91H_GetMacroKey(uchar macroId)
{
    std::array<uchar, 192> block{};
    if (m_hid)
        m_hid->hid_91H_GetMacroKey(macroId, block.data());
    return byteList(block.data(), int(block.size()));
}

QVariantList myQQuickView::ui_92H_GetUserPicture(uchar index)
{
    return profileList(QStringLiteral("userPicture/") + QString::number(index));
}

QVariantList myQQuickView::ui_94H_GetColor(uchar index)
{
    return profileList(QStringLiteral("color/") + QString::number(index));
}

// ---- pointer settings --------------------------------------------------------

bool myQQuickView::getScrollPinSwap()
{
    return profileValue(QStringLiteral("keydefine_Z3/scrollswap"), false).toBool();
}

void myQQuickView::setScrollPinSwap(bool isSwap)
{
    profileWrite(QStringLiteral("keydefine_Z3/scrollswap"), isSwap);
    if (!m_hid)
        return;
    uchar type = 0, option1 = 0, option2 = 0, rate = 0;
    // 03H writes sensor type, report rate and options together: without both
    // answers it would overwrite them with zeros, so it is not sent at all.
    if (!m_hid->hid_83H_GetFunctionOption(type, option1, option2) || !m_hid->hid_81H_GetReportRate(rate)) {
        qDebug("cmd Failed 03");
        return;
    }
    // Only the scroll direction bit changes; the rest goes back as read.
    option1 = uchar((option1 & ~kScrollSwapBit) | (isSwap ? kScrollSwapBit : 0));
    m_hid->hid_03H_SetFunctionOption(type, rate, option1, option2);
}

bool myQQuickView::getAcceleration()
{
    bool enabled = false;
    if (!PointerSettings::getAcceleration(enabled)) {
        qDebug("getAcceleration Failed");
        return false;
    }
    return enabled;
}

void myQQuickView::setAcceleration(bool acceleration)
{
    if (!PointerSettings::setAcceleration(acceleration))
        qDebug("setAcceleration Failed");
}

uint myQQuickView::getCursorSpeed()
{
    return profileValue(QStringLiteral("sensor/cursorSpeed_Z3"), 0).toUInt();
}

void myQQuickView::setCursorSpeed(uint cursorSpeed)
{
    profileWrite(QStringLiteral("sensor/cursorSpeed_Z3"), cursorSpeed);
    if (!PointerSettings::setPointerSpeed(PointerSettings::pointerSpeedForPosition(cursorSpeed)))
        qDebug("setCursorSpeed Failed");
}

uint myQQuickView::getVerticalScrollLines()
{
    return profileValue(QStringLiteral("sensor/verticalScrollLines_Z3"), 0).toUInt();
}

void myQQuickView::setVerticalScrollLines(uint lines)
{
    profileWrite(QStringLiteral("sensor/verticalScrollLines_Z3"), lines);
    if (!PointerSettings::setWheelScrollLines(PointerSettings::scrollLinesForPosition(lines)))
        qDebug("setVerticalScrollLines Failed");
}

uint myQQuickView::getDoubleClickSpeed()
{
    return profileValue(QStringLiteral("sensor/doubleClickSpeed_Z3"), 0).toUInt();
}

void myQQuickView::setDoubleClickSpeed(uint speed)
{
    profileWrite(QStringLiteral("sensor/doubleClickSpeed_Z3"), speed);
    if (!PointerSettings::setDoubleClickTime(PointerSettings::doubleClickTimeForPosition(speed)))
        qDebug("setDoubleClickSpeed Failed");
}
