#include "Settings.h"

#include "NumberParse.h"
#include "NumberText.h"
#include "ProfileFile.h"

namespace {

const QString Section = QStringLiteral("User");
const QString PortKey = QStringLiteral("UDP port");
const QString TopKey = QStringLiteral("Top");
const QString LeftKey = QStringLiteral("Left");
const QString GroupKey = QStringLiteral("Multicast group");

} // namespace

QString StoredSettings::settingsPath(const QString& appDir)
{
    return appDir + QStringLiteral("/Vantorel.ini");
}

std::uint16_t StoredSettings::portFromText(const QString& text)
{
    return NumberParse::toPort(NumberParse::leadingNumber(text)).value_or(DefaultPort);
}

float StoredSettings::positionFromText(const QString& text)
{
    const std::optional<double> number = NumberParse::wholeNumber(text);
    return number ? NumberParse::toFloat(*number).value_or(0.0f) : 0.0f;
}

StoredSettings StoredSettings::read(const QString& appDir)
{
    const ProfileFile file(settingsPath(appDir));
    StoredSettings settings;
    settings.listenPort = portFromText(file.value(Section, PortKey, QStringLiteral("2238")));
    settings.top = positionFromText(file.value(Section, TopKey, QStringLiteral("0")));
    settings.left = positionFromText(file.value(Section, LeftKey, QStringLiteral("0")));
    settings.multicastGroup = file.value(Section, GroupKey, QString());
    return settings;
}

bool StoredSettings::write(const QString& appDir, QString* error) const
{
    ProfileFile file(settingsPath(appDir));
    file.setValue(Section, PortKey, QString::number(listenPort));
    file.setValue(Section, TopKey, shortestFloatText(top));
    file.setValue(Section, LeftKey, shortestFloatText(left));
    if (!multicastGroup.isEmpty())
        file.setValue(Section, GroupKey, multicastGroup);
    return file.save(error);
}
