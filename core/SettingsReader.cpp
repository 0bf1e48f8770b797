#include "core/SettingsReader.h"

#include "core/AppFolders.h"
#include "core/Platform.h"
#include "core/TextLines.h"
#include "encoding/TextCodec.h"

#include <optional>

namespace {

const QString kSettingsMarker = QStringLiteral("Tabulon");
constexpr int kSettingsLines = 9;

} // namespace

bool ReadSettings(AppState& state, const QString& appDataFolder, const ValueDecoder& decode)
{
    if (!decode)
        return false;
    const std::optional<QList<QByteArray>> lines = TextLines::load(state.SettingsFile);
    if (!lines || lines->isEmpty())
        return false;
    const auto line = [&](int index) { return decode(TextCodec::fromCp1250(lines->at(index))); };
    if (line(0) != kSettingsMarker)
        return false;

    Settings& settings = state.Settings;
    QString* const fields[] = {&settings.WorkMode,     &settings.NetworkFolder, &settings.UpdateSource,
                               &settings.SmtpPort,     &settings.SmtpHost,      &settings.SenderAddress,
                               &settings.SmtpPassword, &settings.SchoolAddress};
    for (int index = 1; index < kSettingsLines; ++index) {
        if (index >= lines->size())
            return false;
        *fields[index - 1] = line(index);
    }
    // A tenth line is optional; only its exact text allows a login in clear.
    settings.AllowPlainLogin = lines->size() > kSettingsLines && line(kSettingsLines) == kAllowPlainLogin;

    const AppFolders folders = AppFolders::under(appDataFolder);
    state.DataFolder = folders.data;
    state.TempFolder = folders.temp;
    return true;
}

bool SettingsFileIsSound(const QString& path, const ValueDecoder& decode)
{
    AppState scratch;
    scratch.SettingsFile = path;
    return ReadSettings(scratch, QString(), decode);
}

void NormaliseSettings(Settings& settings)
{
    if (settings.WorkMode == kWorkModeNetwork) {
        // The school's network folder is mounted into the file system, so it is
        // joined like any local folder.
        settings.NetworkFolder += Platform::separator();
        settings.UpdateSource += Platform::separator();
    } else {
        settings.UpdateSource += QLatin1Char('/');
    }
}
