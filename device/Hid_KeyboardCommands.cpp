// The keyboard command set. The keyboard places its selector (macro id,
// picture index, colour index) in B2 and the block count in B3; the Get
// commands announce the count in A3 of their answer pre-fill instead.

#include "Hid_Thread.h"

#include <QThread>

#include <cstring>

namespace {
constexpr char kGetFailed[] = "cmd Failed";

constexpr int kKeyMatrixLength = 512;
constexpr uchar kKeyMatrixUnits = 0x08;
constexpr int kKeyOnOffLength = 21;
constexpr uchar kKeyOnOffCount = 0x15; // a byte count, not 64-byte units
constexpr int kMacroLength = 192;
constexpr uchar kMacroUnits = 0x03;
constexpr int kPictureLength = 512;
constexpr uchar kPictureUnits = 0x08;
} // namespace

// ---- Set commands --------------------------------------------------------------------

void Hid_Thread::hid_03H_SetKeyboardoption(uchar byte1, uchar byte2, uchar byte3, uchar byte4)
{
    claimOrReport("cmd Failed 03", [&] {
        fillFrame(0x03, byte1, byte2, byte3, byte4);
        startSet(0, false);
        QThread::msleep(kReportPauseMs);
    });
}

void Hid_Thread::hid_04H_SetButtonSensitivity(uchar sens1, uchar sens2, uchar sens3, uchar sens4)
{
    claimOrReport("cmd Failed 04", [&] {
        fillFrame(0x04, sens1, sens2, sens3, sens4);
        startSet(0, true);
    });
}

void Hid_Thread::hid_07H_SetControlIndicatorLight(uchar effect, uchar frequenty)
{
    claimOrReport("cmd Failed 07", [&] {
        fillFrame(0x07, effect, frequenty);
        startSet(0, false);
        QThread::msleep(kReportPauseMs);
    });
}

void Hid_Thread::hid_08H_SetLEDType(uchar option, uchar effect, uchar speed, uchar light, uchar color,
                                    uchar direction)
{
    claimOrReport("cmd Failed 08", [&] {
        fillFrame(0x08, option, effect, speed, light, color, direction);
        startSet(0, true);
    });
}

void Hid_Thread::hid_09H_SetKeyboardMode(uchar mode)
{
    claimOrReport("cmd Failed 09", [&] {
        fillFrame(0x09, mode);
        startSet(0, true);
    });
}

void Hid_Thread::hid_0DH_SetKeyMatrix(uchar *src512)
{
    claimOrReport("cmd Failed 0D", [&] {
        fillFrame(0x0D, 0, 0, kKeyMatrixUnits);
        std::memcpy(m_payload, src512, kKeyMatrixLength);
        startSet(kKeyMatrixLength, true);
    });
}

void Hid_Thread::hid_0EH_SetKeyOnOff(uchar *src21)
{
    claimOrReport("cmd Failed 0E", [&] {
        fillFrame(0x0E, 0, 0, kKeyOnOffCount);
        std::memcpy(m_payload, src21, kKeyOnOffLength);
        startSet(kKeyOnOffLength, true);
    });
}

void Hid_Thread::hid_11H_SetMacroKey(uchar macroId, uchar *src192)
{
    claimOrReport("cmd Failed 11", [&] {
        fillFrame(0x11, 0, macroId, kMacroUnits);
        std::memcpy(m_payload, src192, kMacroLength);
        startSet(kMacroLength, true);
    });
}

void Hid_Thread::hid_12H_SetUserPicture(uchar index, uchar option, uchar *src512)
{
    claimOrReport("cmd Failed 12", [&] {
        fillFrame(0x12, 0, index, kPictureUnits, option);
        std::memcpy(m_payload, src512, kPictureLength);
        startSet(kPictureLength, true);
    });
}

void Hid_Thread::hid_13H_SetRecoveryData()
{
    claimOrReport("cmd Failed 13", [&] {
        fillFrame(0x13, 0xFF);
        startSet(0, false);
        QThread::msleep(kReportPauseMs);
    });
}

void Hid_Thread::hid_14H_SetColor(uchar index, uchar rValue, uchar gValue, uchar bValue)
{
    claimOrReport("cmd Failed 14", [&] {
        fillFrame(0x14, 0, index, rValue, gValue, bValue);
        startSet(0, false);
        QThread::msleep(kReportPauseMs);
    });
}

// ---- Get commands --------------------------------------------------------------------

void Hid_Thread::hid_83H_GetKeyboardoption(uchar &byte1, uchar &byte2, uchar &byte3, uchar &byte4)
{
    claimOrReport(kGetFailed, [&] {
        fillFrame(0x83);
        prefillAnswer(0x83, byte1, byte2, byte3, byte4);
        transferFrame(0);
        byte1 = answer(1);
        byte2 = answer(2);
        byte3 = answer(3);
        byte4 = answer(4);
    });
}

void Hid_Thread::hid_84H_GetButtonSensitivity(uchar &sens1, uchar &sens2, uchar &sens3, uchar &sens4)
{
    claimOrReport(kGetFailed, [&] {
        fillFrame(0x84);
        prefillAnswer(0x84, sens1, sens2, sens3, sens4);
        transferFrame(0);
        sens1 = answer(1);
        sens2 = answer(2);
        sens3 = answer(3);
        sens4 = answer(4);
    });
}

void Hid_Thread::hid_88H_GetLEDType(uchar &effect, uchar &speed, uchar &light, uchar &color, uchar &direction)
{
    claimOrReport(kGetFailed, [&] {
        fillFrame(0x88);
        prefillAnswer(0x88, 0, effect, speed, light, color, direction);
        transferFrame(0);
        effect = answer(2);
        speed = answer(3);
        light = answer(4);
        color = answer(5);
        direction = answer(6);
    });
}

void Hid_Thread::hid_89H_GetKeyboardMode(uchar &mode)
{
    claimOrReport(kGetFailed, [&] {
        fillFrame(0x89);
        prefillAnswer(0x89, mode);
        transferFrame(0);
        mode = answer(1);
    });
}

void Hid_Thread::hid_8DH_GetKeyMatrix(uchar *src512)
{
    claimOrReport(kGetFailed, [&] {
        fillFrame(0x8D);
        m_cmd[8] = 0x00; // the one request the keyboard takes without its checksum
        prefillAnswer(0x8D, 0, 0, kKeyMatrixUnits);
        transferBlock(src512, kKeyMatrixLength);
    });
}

void Hid_Thread::hid_8EH_GetKeyOnOff(uchar *src21)
{
    claimOrReport(kGetFailed, [&] {
        fillFrame(0x8E);
        prefillAnswer(0x8E, 0, 0, kKeyOnOffCount);
        transferBlock(src21, kKeyOnOffLength);
    });
}

void Hid_Thread::hid_91H_GetMacroKey(uchar macroId, uchar *src192)
{
    claimOrReport(kGetFailed, [&] {
        fillFrame(0x91, 0, macroId);
        prefillAnswer(0x91, 0, macroId, kMacroUnits);
        transferBlock(src192, kMacroLength);
    });
}

void Hid_Thread::hid_92H_GetUserPicture(uchar index, uchar *src512)
{
    claimOrReport(kGetFailed, [&] {
        fillFrame(0x92, 0, index);
        prefillAnswer(0x92, 0, index, kPictureUnits);
        transferBlock(src512, kPictureLength);
    });
}

void Hid_Thread::hid_94H_GetColor(uchar index, uchar &rValue, uchar &gValue, uchar &bValue)
{
    claimOrReport(kGetFailed, [&] {
        fillFrame(0x94, 0, index);
        prefillAnswer(0x94, 0, index, rValue, gValue, bValue);
        transferFrame(0);
        rValue = answer(3);
        gValue = answer(4);
        bValue = answer(5);
    });
}
