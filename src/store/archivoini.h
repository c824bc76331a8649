#pragma once

#include <QByteArray>
#include <QString>

namespace kv {

// The profile file KV000.INI that the host program owns: section "Options"
// holds the system folder, the database and the user. It is read the way the
// old profile functions read it: section and key names without regard to
// case, the value up to the end of the line, trimmed, at most 255 characters,
// and an empty text for a missing key. Writing one key keeps every other line
// of the file as it was.
class ArchivoIni
{
public:
    static constexpr int kLargoMaximo = 255;

    explicit ArchivoIni(QString ruta);

    // $XDG_CONFIG_HOME/KV000.INI, or ~/.config/KV000.INI.
    static QString rutaPredeterminada();

    const QString &ruta() const { return m_ruta; }
    bool existe() const;

    QString leer(const QString &seccion, const QString &clave) const;
    // Creates the file or the section when missing. False when the file
    // cannot be written.
    bool escribir(const QString &seccion, const QString &clave, const QString &valor);

    // The same two rules on the file's contents.
    static QString leerDe(QByteArrayView contenido, const QString &seccion, const QString &clave);
    static QByteArray conClave(QByteArrayView contenido, const QString &seccion, const QString &clave,
                               const QString &valor);

private:
    QString m_ruta;
};

} // namespace kv
