#include "App/LaunchOptions.h"

LaunchOptions LaunchOptions::parse(const QStringList& arguments)
{
    LaunchOptions options;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (argument == QLatin1String("--demo")) {
            options.demo = true;
        } else if (argument == QLatin1String("--demo-paste-to-textedit")) {
            options.demoPasteToTextEditor = true;
        } else if (argument == QLatin1String("--settings")) {
            options.settings = true;
        } else if (argument == QLatin1String("--appearance") && i + 1 < arguments.size()) {
            options.appearance = AppearanceModes::fromRawValue(arguments.at(++i));
        }
    }
    return options;
}
