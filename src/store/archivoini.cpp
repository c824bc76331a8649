#include "archivoini.h"

#include "texto.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStandardPaths>

namespace kv {

namespace {

// The profile files are Windows-era text: Windows-1252, lines ending in CR LF
// or LF. Each line is kept with its own ending exactly as read, so that a
// write changes one line and nothing else; the last line may have none.
struct Linea
{
    QString texto; // without its ending
    QString fin;   // "\r\n", "\n" or empty
};

QList<Linea> leerLineas(QByteArrayView bytes)
{
    const QString contenido = desdeCp1252(bytes);
    QList<Linea> lineas;
    qsizetype inicio = 0;
    while (inicio < contenido.size()) {
        const qsizetype salto = contenido.indexOf(u'\n', inicio);
        if (salto < 0) {
            lineas.append({contenido.mid(inicio), {}});
            break;
        }
        const bool conRetorno = salto > inicio && contenido.at(salto - 1) == u'\r';
        lineas.append({contenido.mid(inicio, salto - inicio - (conRetorno ? 1 : 0)),
                       conRetorno ? QStringLiteral("\r\n") : QStringLiteral("\n")});
        inicio = salto + 1;
    }
    return lineas;
}

// "[Options]" → "Options"; empty when the line is not a section header.
QString nombreSeccion(const QString &linea)
{
    const QString t = linea.trimmed();
    if (t.startsWith(u'[')) {
        const qsizetype cierre = t.indexOf(u']');
        if (cierre > 0)
            return t.mid(1, cierre - 1).trimmed();
    }
    return {};
}

bool esSeccion(const QString &linea) { return linea.trimmed().startsWith(u'[') && linea.contains(u']'); }

// The key of a "key=value" line, or empty.
QString nombreClave(const QString &linea)
{
    const qsizetype igual = linea.indexOf(u'=');
    if (igual <= 0 || linea.trimmed().startsWith(u';'))
        return {};
    return linea.left(igual).trimmed();
}

bool mismoNombre(const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

QByteArray leerArchivo(const QString &ruta)
{
    QFile archivo(ruta);
    return archivo.open(QIODevice::ReadOnly) ? archivo.readAll() : QByteArray();
}

} // namespace

ArchivoIni::ArchivoIni(QString ruta) : m_ruta(std::move(ruta)) {}

QString ArchivoIni::rutaPredeterminada()
{
    QString carpeta = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (carpeta.isEmpty())
        carpeta = QDir::homePath() + QStringLiteral("/.config");
    return carpeta + QStringLiteral("/KV000.INI");
}

bool ArchivoIni::existe() const { return QFile::exists(m_ruta); }

QString ArchivoIni::leer(const QString &seccion, const QString &clave) const
{
    return leerDe(leerArchivo(m_ruta), seccion, clave);
}

QString ArchivoIni::leerDe(QByteArrayView contenido, const QString &seccion, const QString &clave)
{
    bool dentro = false;
    for (const Linea &l : leerLineas(contenido)) {
        const QString &linea = l.texto;
        if (esSeccion(linea)) {
            dentro = mismoNombre(nombreSeccion(linea), seccion);
            continue;
        }
        if (!dentro || !mismoNombre(nombreClave(linea), clave))
            continue;
        QString valor = linea.mid(linea.indexOf(u'=') + 1).trimmed();
        // A value between matching quotes is returned without them.
        if (valor.size() >= 2 && (valor.front() == u'"' || valor.front() == u'\'') && valor.back() == valor.front())
            valor = valor.mid(1, valor.size() - 2);
        return valor.left(kLargoMaximo).trimmed();
    }
    return {};
}

bool ArchivoIni::escribir(const QString &seccion, const QString &clave, const QString &valor)
{
    const QByteArray contenido = conClave(leerArchivo(m_ruta), seccion, clave, valor);
    QDir().mkpath(QFileInfo(m_ruta).absolutePath());
    QSaveFile archivo(m_ruta);
    if (!archivo.open(QIODevice::WriteOnly))
        return false;
    archivo.write(contenido);
    return archivo.commit();
}

QByteArray ArchivoIni::conClave(QByteArrayView contenido, const QString &seccion, const QString &clave,
                                const QString &valor)
{
    QList<Linea> lineas = leerLineas(contenido);
    // Lines added take the ending of the file's first line; a new file's
    // are CR LF.
    QString finDeLinea = QStringLiteral("\r\n");
    if (!lineas.isEmpty() && !lineas.first().fin.isEmpty())
        finDeLinea = lineas.first().fin;
    const QString nueva = clave + u'=' + valor;

    qsizetype inicioSeccion = -1;
    qsizetype ultimaDeSeccion = -1; // last non-blank line of the section
    bool escrita = false;
    for (qsizetype i = 0; i < lineas.size() && !escrita; ++i) {
        const QString &linea = lineas.at(i).texto;
        if (esSeccion(linea)) {
            if (inicioSeccion >= 0)
                break;
            if (mismoNombre(nombreSeccion(linea), seccion))
                inicioSeccion = ultimaDeSeccion = i;
            continue;
        }
        if (inicioSeccion < 0)
            continue;
        if (mismoNombre(nombreClave(linea), clave)) {
            lineas[i].texto = nueva;
            escrita = true;
        } else if (!linea.trimmed().isEmpty()) {
            ultimaDeSeccion = i;
        }
    }
    if (!escrita) {
        const qsizetype despues = inicioSeccion >= 0 ? ultimaDeSeccion : lineas.size() - 1;
        // The line the new ones follow gets an ending if it had none.
        if (despues >= 0 && lineas[despues].fin.isEmpty())
            lineas[despues].fin = finDeLinea;
        if (inicioSeccion >= 0)
            lineas.insert(despues + 1, Linea{nueva, finDeLinea});
        else
            lineas << Linea{u'[' + seccion + u']', finDeLinea} << Linea{nueva, finDeLinea};
    }

    QString texto;
    for (const Linea &l : std::as_const(lineas))
        texto += l.texto + l.fin;
    return aCp1252(texto);
}

} // namespace kv
