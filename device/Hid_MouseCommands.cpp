// The mouse command set (and the codes both devices share: 01H, 02H, 80H,
// 81H, 82H). Set commands claim the link, fill the frame and hand it to a
// pool task; Get commands exchange on the calling thread and copy out.

#include "Hid_Thread.h"

#include <QThread>

#include <cstring>

namespace {
constexpr char kGetFailed[] = "cmd Failed";

constexpr int ledBlockLength(uchar type)
{
    return type == 2 ? 4 : 24;
}
constexpr int kDpiBlockLength = 8;
constexpr int kKeyMatrixLength = 64;
constexpr int kMacroLength = 128;
} // namespace

// ---- Set commands --------------------------------------------------------------------

void Hid_Thread::hid_01H_SetReportRate(uchar rate)
{
    claimOrReport("cmd Failed 01", [&] {
        fillFrame(0x01, rate);
        startSet(0, true);
    });
}

void Hid_Thread::hid_02H_SetCurrentProfile(uchar profile)
{
    claimOrReport("cmd Failed 02", [&] {
        fillFrame(0x02, profile);
        startSet(0, false);
        QThread::msleep(kReportPauseMs);
    });
}

void Hid_Thread::hid_03H_SetFunctionOption(uchar type, uchar rate, uchar option1, uchar option2)
{
    claimOrReport("cmd Failed 03", [&] {
        fillFrame(0x03, type, rate, option1, option2);
        startSet(0, true);
        QThread::msleep(kReportPauseMs);
    });
}

void Hid_Thread::hid_07H_SetLEDInstructFunction(uchar type, uchar option1, uchar option2, uchar option3)
{
    claimOrReport("cmd Failed 07", [&] {
        fillFrame(0x07, type, option1, option2, option3);
        startSet(0, false);
    });
}

void Hid_Thread::hid_0BH_SetCurrentDPIStage(uchar dpiStage)
{
    claimOrReport("cmd Failed 0B", [&] {
        fillFrame(0x0B, dpiStage);
        startSet(0, true);
    });
}

void Hid_Thread::hid_0DH_SetRGBLedEffect(uchar effect, uchar option1, uchar option2)
{
    claimOrReport("cmd Failed 0D", [&] {
        fillFrame(0x0D, effect, option1, option2);
        startSet(0, true);
    });
}

void Hid_Thread::hid_10H_SetLED8StageColor(uchar type, uchar *src24)
{
    claimOrReport("cmd Failed 10", [&] {
        const int length = ledBlockLength(type);
        fillFrame(0x10, type, uchar(length));
        std::memcpy(m_payload, src24, size_t(length));
        startSet(length, true);
    });
}

void Hid_Thread::hid_11H_SetDPISet(uchar dpiStage, uchar *src8)
{
    claimOrReport("cmd Failed 11", [&] {
        fillFrame(0x11, dpiStage, kDpiBlockLength);
        std::memcpy(m_payload, src8, kDpiBlockLength);
        startSet(kDpiBlockLength, true);
    });
}

void Hid_Thread::hid_12H_SetKeyMatrix(uchar *src64)
{
    claimOrReport("cmd Failed 12", [&] {
        fillFrame(0x12, 0x01, 0x40, 0x08);
        std::memcpy(m_payload, src64, kKeyMatrixLength);
        startSet(kKeyMatrixLength, true);
    });
}

void Hid_Thread::hid_13H_SetMacroKey(uchar macroId, uchar *src128)
{
    claimOrReport("cmd Failed 13", [&] {
        fillFrame(0x13, macroId, 0x80);
        std::memcpy(m_payload, src128, kMacroLength);
        startSet(kMacroLength, true);
    });
}

// ---- Get commands --------------------------------------------------------------------

void Hid_Thread::hid_80H_GetFWVersion(QString &version)
{
    claimOrReport(kGetFailed, [&] {
        fillFrame(0x80);
        prefillAnswer(0x80);
        if (transferFrame(0))
            version = QString::number(answer(1), 16) + QLatin1Char('.') +
                      QStringLiteral("%1").arg(answer(2), 2, 16, QLatin1Char('0')).toUpper();
        else
            version = QStringLiteral("unknown");
    });
}

bool Hid_Thread::hid_81H_GetReportRate(uchar &rate)
{
    bool answered = false;
    claimOrReport(kGetFailed, [&] {
        fillFrame(0x81);
        prefillAnswer(0x81, rate);
        answered = transferFrame(0);
        rate = answer(1);
    });
    return answered;
}

void Hid_Thread::hid_82H_GetCurrentProfile(uchar &profile)
{
    claimOrReport(kGetFailed, [&] {
        fillFrame(0x82);
        prefillAnswer(0x82, profile);
        transferFrame(0);
        profile = answer(1);
    });
}

bool Hid_Thread::hid_83H_GetFunctionOption(uchar &type, uchar &option1, uchar &option2)
{
    bool answered = false;
    claimOrReport(kGetFailed, [&] {
        fillFrame(0x83);
        prefillAnswer();
        answered = transferFrame(0);
        type = answer(1);
        option1 = answer(3);
        option2 = answer(4);
    });
    return answered;
}

bool Hid_Thread::hid_87H_GetLEDInstructFunction(uchar type, uchar &option1, uchar &option2, uchar &option3)
{
    bool ok = false;
    claimOrReport(kGetFailed, [&] {
        fillFrame(0x87, type);
        prefillAnswer();
        if (!transferFrame(0))
            return;
        option1 = answer(2);
        option2 = answer(3);
        option3 = answer(4);
        ok = true;
    });
    return ok;
}

void Hid_Thread::hid_8BH_GetCurrentDPIStage(uchar &dpiStage)
{
    claimOrReport(kGetFailed, [&] {
        fillFrame(0x8B);
        prefillAnswer();
        transferFrame(0);
        dpiStage = answer(1);
    });
}

void Hid_Thread::hid_8DH_GetRGBLedEffect(uchar &effect, uchar &option1, uchar &option2)
{
    claimOrReport(kGetFailed, [&] {
        fillFrame(0x8D);
        prefillAnswer();
        transferFrame(0);
        effect = answer(1);
        option1 = answer(2);
        option2 = answer(3);
    });
}

void Hid_Thread::hid_90H_GetLED8StageColor(uchar type, uchar *src24)
{
    claimOrReport(kGetFailed, [&] {
        fillFrame(0x90, type);
        prefillAnswer();
        transferBlock(src24, ledBlockLength(type));
    });
}

bool Hid_Thread::hid_91H_GetDPISet(uchar &dpiMAXStage, uchar *src8)
{
    bool ok = false;
    claimOrReport(kGetFailed, [&] {
        fillFrame(0x91);
        prefillAnswer();
        std::memcpy(m_payload, src8, kDpiBlockLength);
        if (!transferFrame(kDpiBlockLength))
            return;
        // A block answer arrives plain: A1 is used as it came.
        dpiMAXStage = answer(1);
        std::memcpy(src8, m_payload, kDpiBlockLength);
        ok = true;
    });
    return ok;
}

void Hid_Thread::hid_92H_GetKeyMatrix(uchar *src64)
{
    claimOrReport(kGetFailed, [&] {
        fillFrame(0x92, 0x01);
        prefillAnswer(0x92);
        transferBlock(src64, kKeyMatrixLength);
    });
}

void Hid_Thread::hid_93H_GetMacroKey(uchar macroId, uchar *src128)
{
    claimOrReport(kGetFailed, [&] {
        fillFrame(0x93, macroId);
        prefillAnswer();
        transferBlock(src128, kMacroLength);
    });
}
