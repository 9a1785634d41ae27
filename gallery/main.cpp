#include "GalleryRun.h"

#include "app/Theme.h"

#include <QApplication>
#include <QCommandLineParser>

using namespace vima;

// gallery OUTPUT_FOLDER [AREA...]: every registered picture, light then dark.
int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tavelon"));
    QCommandLineParser parser;
    parser.addPositionalArgument(QStringLiteral("folder"), QStringLiteral("Where the pictures go."));
    parser.addPositionalArgument(QStringLiteral("areas"), QStringLiteral("Only these areas."), QStringLiteral("[area...]"));
    parser.addHelpOption();
    parser.process(application);
    QStringList arguments = parser.positionalArguments();
    if (arguments.isEmpty())
        parser.showHelp(1);
    const QString folder = arguments.takeFirst();

    int drawn = 0;
    for (const auto &[theme, name] : {std::pair{AppTheme::light, QStringLiteral("light")},
                                      std::pair{AppTheme::dark, QStringLiteral("dark")}}) {
        applyTheme(theme);
        drawn = gallery::runAll(folder, name, arguments);
    }
    return drawn > 0 ? 0 : 1;
}
