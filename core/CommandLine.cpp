#include "core/CommandLine.h"

#include "core/InstalledLayout.h"

#include <QCoreApplication>
#include <QDir>
#include <QString>

#include <cstring>

namespace {

const char* const kHelp = "Użycie: tabulon [OPCJA]\n"
                          "Tabulon przygotowuje sprawozdania nauczyciela na koniec okresu i przekazuje je\n"
                          "szkole: zapisuje je w folderze, kopiuje do folderu sieci szkolnej albo wysyła\n"
                          "pocztą.\n"
                          "\n"
                          "Opcje:\n"
                          "  -h, --help     wyświetla tę pomoc i kończy pracę\n"
                          "      --version  wyświetla wersję programu i kończy pracę\n"
                          "\n"
                          "Ustawienia szkoły (tryb pracy, źródło danych, konto poczty) administrator\n"
                          "umieszcza w pliku /etc/tabulon/tabulon.ini, przygotowanym poleceniem\n"
                          "tabulon-admin settings.\n"
                          "Strony pomocy: %1\n"
                          "(przycisk „Pomoc” w oknie programu albo klawisz F1).\n";

bool is(const char* argument, const char* option)
{
    return std::strcmp(argument, option) == 0;
}

} // namespace

std::optional<int> AnswerInfoOption(int& argc, char** argv, std::FILE* out)
{
    bool help = false;
    bool version = false;
    for (int i = 1; i < argc; ++i) {
        help = help || is(argv[i], "--help") || is(argv[i], "-h");
        version = version || is(argv[i], "--version");
    }
    if (!help && !version)
        return std::nullopt;

    QString text;
    if (help) {
        // Only a core application: it tells where the program lies, and needs no display.
        const QCoreApplication app(argc, argv);
        text = QString::fromUtf8(kHelp).arg(QDir::toNativeSeparators(HelpPage(RunningProgramFolder())));
    } else {
        text = QStringLiteral("Tabulon %1\n").arg(QString::fromLatin1(kProductVersion));
    }
    const QByteArray bytes = text.toUtf8();
    const bool written =
        std::fwrite(bytes.constData(), 1, size_t(bytes.size()), out) == size_t(bytes.size()) &&
        std::fflush(out) == 0;
    return written ? 0 : 1;
}
