#include "idioma.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace kv {

bool iniciarIdioma(QCoreApplication &aplicacion)
{
    const QLocale peru(QLocale::Spanish, QLocale::Peru);
    QLocale::setDefault(peru);
    auto *qt = new QTranslator(&aplicacion);
    // qtbase_es_PE if there ever is one, else qtbase_es.
    if (!qt->load(peru, QStringLiteral("qtbase"), QStringLiteral("_"),
                  QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete qt;
        return false;
    }
    return QCoreApplication::installTranslator(qt);
}

} // namespace kv
