#include "Options.h"

#include "HidapiBackend.h"
#include "VirtualDevice.h"
#include "WireLogBackend.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <QtDebug>

Options parseOptions(const QCoreApplication &app)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Configuration tool for the Z3 gaming mouse."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption virtualDevice(QStringLiteral("virtual-device"),
                                           QStringLiteral("Run against the built-in virtual mouse."));
    const QCommandLineOption wireLog(QStringLiteral("wire-log"),
                                     QStringLiteral("Write every HID call to <file>."),
                                     QStringLiteral("file"));
    parser.addOption(virtualDevice);
    parser.addOption(wireLog);
    parser.process(app);

    Options options;
    options.virtualDevice = parser.isSet(virtualDevice);
    // Relative to the folder the user started in; the program changes its
    // current folder later.
    if (parser.isSet(wireLog))
        options.wireLog = QFileInfo(parser.value(wireLog)).absoluteFilePath();
    return options;
}

std::unique_ptr<HidBackend> makeVirtualDevice(const QString &settings, QStringList *problems)
{
    auto device = std::make_unique<VirtualDevice>();
    VirtualDevice::Faults faults;
    const QStringList items = settings.split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (const QString &raw : items) {
        const QString item = raw.trimmed();
        const QString key = item.section(QLatin1Char('='), 0, 0).toLower();
        const QString value = item.section(QLatin1Char('='), 1);
        bool ok = true;
        if (key == QLatin1String("absent"))
            faults.absent = true;
        else if (key == QLatin1String("deny"))
            faults.denyOpen = true;
        else if (key == QLatin1String("nocommand"))
            faults.noCommandInterface = true;
        else if (key == QLatin1String("noevent"))
            faults.noEventInterface = true;
        else if (key == QLatin1String("noanswer"))
            faults.noFeatureAnswer = true;
        else if (key == QLatin1String("code") && value.size() == 6)
            device->setSecrecyCode(value);
        else if (key == QLatin1String("sensor"))
            device->setSensorType(uchar(value.toUInt(&ok)));
        else if (key == QLatin1String("stages"))
            device->setDpiStageCount(uchar(value.toUInt(&ok)));
        else if (key == QLatin1String("logo"))
            device->setLogoLedWorks(value.toUInt(&ok) != 0);
        else if (key == QLatin1String("fw")) {
            bool okMinor = true;
            device->setFirmwareVersion(uchar(value.section(QLatin1Char('.'), 0, 0).toUInt(&ok)),
                                       uchar(value.section(QLatin1Char('.'), 1, 1).toUInt(&okMinor)));
            ok = ok && okMinor;
        } else if (key == QLatin1String("delay"))
            faults.answerDelayMs = value.toInt(&ok);
        else if (key == QLatin1String("quiet"))
            device->setSendQuietReport(value.toUInt(&ok) != 0);
        else
            ok = false;
        if (!ok && problems)
            problems->append(item);
    }
    device->setFaults(faults);
    return device;
}

std::unique_ptr<HidBackend> makeBackend(const Options &options)
{
    std::unique_ptr<HidBackend> backend;
    if (options.virtualDevice) {
        QStringList problems;
        backend = makeVirtualDevice(qEnvironmentVariable("Z3_VIRTUAL_DEVICE"), &problems);
        for (const QString &p : problems)
            qWarning("Z3_VIRTUAL_DEVICE: ignoring \"%s\"", qPrintable(p));
    }
    if (!options.wireLog.isEmpty()) {
        if (!backend)
            backend = std::make_unique<HidapiBackend>();
        backend = std::make_unique<WireLogBackend>(std::move(backend), options.wireLog);
    }
    return backend;
}
