#include "instalador.h"

#include "store/archivoini.h"
#include "store/mensajes.h"
#include "store/numeros.h"
#include "store/texto.h"
#include "store/transaccion.h"

#include <QHash>

#include <QFile>
#include <QSqlError>
#include <QSqlQuery>

namespace kv {

namespace {

const QString kTituloMensaje = QStringLiteral("Mensaje");

// The module's parameter entries: 996 names its permanent and history
// tables for the host's sending, 981 the entries of the parameter checksum,
// 992 says the module is installed, 965 the payment receipt types and 966
// the tax per passenger from its first day (the effective date is the key,
// so a new run refreshes the rate and never adds a second one).
struct FilaParametro
{
    const char *numero;
    const char *argumento;
    const char *funcion;
    const char *correl;
};

constexpr FilaParametro kParametros[] = {
    { "996", "226", "F517DETVP      R 1000   6", "" },
    { "996", "227", "HF517DETVP     R 1000   7", "" },
    { "996", "228", "F517PAGPRE     R 1000   8", "" },
    { "996", "229", "HF517PAGPRE    R 1000   9", "" },
    { "981", "0517", "966", "001" },
    { "992", "0517", "1", "" },
    { "965", "5841", "BOLETA DE PAGO CON DOCUMENTOS VALORADOS", "001" },
    { "965", "5842", "BOLETA DE PAGO", "002" },
    { "965", "5843", "BOLETA DE PAGO", "003" },
    { "965", "5851", "BOLETA DE PAGO CON DOC. VALORADOS(PRICO)", "004" },
    { "965", "5852", "BOLETA DE PAGO", "005" },
    { "965", "5853", "BOLETA DE PAGO", "006" },
    { "965", "5871", "BOLETA DE PAGO - VIRTUAL", "007" },
    { "965", "0517", "QDL 0517 ZENTOR", "008" },
    { "966", "20030217", "0015.00", "001" },
};

struct FilaReporte
{
    const char16_t *codigo;
    const char16_t *descripcion;
};

// The report codes of the declaration print-out, the submission summary and
// the flight import errors, as the host's report list shows them.
constexpr FilaReporte kReportes[] = {
    { u"ZEN001", u"Zentor 0517 \u2013 Declaraci\u00f3n" },
    { u"ZEN002", u"Reporte de Env\u00edo 2003 -  0517" },
    { u"ZEN003", u"0517 Importacion" },
};

QString deUtf8(const char *texto)
{
    return QString::fromUtf8(texto);
}

QString identificador(const QString &nombre)
{
    QString r = nombre;
    r.replace(u'"', QStringLiteral("\"\""));
    return u'"' + r + u'"';
}

// A DEFAULT clause as the database reports it: "0", "'0'", "NULL", "1+2".
// A text key as the engine's NOCASE comparison sees it: ASCII letters in
// one case, every other character as it is.
QString claveSinMayusculas(const QString &texto)
{
    QString r = texto;
    for (QChar &c : r) {
        if (c.unicode() >= u'a' && c.unicode() <= u'z')
            c = QChar(c.unicode() - (u'a' - u'A'));
    }
    return r;
}

bool esCeroPredeterminado(const QVariant &valor)
{
    if (valor.isNull())
        return false;
    QString t = valor.toString().trimmed();
    if (t.size() >= 2 && t.front() == u'\'' && t.back() == u'\'')
        t = t.mid(1, t.size() - 2);
    const auto n = convertirNumero(t);
    return n && n->esCero();
}

// All or nothing inside the installation's transaction (or as a transaction
// of its own outside one): released when confirmed, rolled back otherwise.
class PuntoDeRetorno
{
public:
    explicit PuntoDeRetorno(QSqlDatabase db) : m_db(std::move(db))
    {
        m_iniciado = QSqlQuery(m_db).exec(QStringLiteral("SAVEPOINT kv_instalador"));
    }
    ~PuntoDeRetorno()
    {
        if (!m_iniciado)
            return;
        QSqlQuery q(m_db);
        q.exec(QStringLiteral("ROLLBACK TO kv_instalador"));
        q.exec(QStringLiteral("RELEASE kv_instalador"));
    }
    // SQLite undoes a failed statement alone; a server would end the whole
    // installation's transaction with it, so there each statement runs
    // under a savepoint of its own and the others still go in.
    static void porSentencia(std::optional<PuntoDeRetorno> &punto, const QSqlDatabase &db)
    {
        if (motorDe(db) == Motor::PostgreSQL)
            punto.emplace(db);
    }

    PuntoDeRetorno(const PuntoDeRetorno &) = delete;
    PuntoDeRetorno &operator=(const PuntoDeRetorno &) = delete;

    bool iniciado() const { return m_iniciado; }
    bool confirmar()
    {
        if (!m_iniciado || !QSqlQuery(m_db).exec(QStringLiteral("RELEASE kv_instalador")))
            return false;
        m_iniciado = false;
        return true;
    }

private:
    QSqlDatabase m_db;
    bool m_iniciado = false;
};

} // namespace

Instalador::Instalador(ServicioMensajes &mensajes, QString rutaIni, QString conexion)
    : m_mensajes(mensajes)
    , m_rutaIni(std::move(rutaIni))
    , m_conexion(std::move(conexion))
{
}

QSqlDatabase Instalador::db() const
{
    return BaseDatos::base(m_conexion);
}

QString Instalador::rutaBase() const
{
    return m_ubicacion.descripcion();
}

QString Instalador::rutaArchivoEnvio() const
{
    return m_rutaSistema + QStringLiteral("tmp/") + QString::fromLatin1(kArchivoEnvio);
}

Instalador::Resultado Instalador::ejecutar()
{
    const ArchivoIni ini(m_rutaIni);
    const QString seccion = QStringLiteral("Options");
    m_rutaSistema = ini.leer(seccion, QStringLiteral("SysPath"));
    if (m_rutaSistema.isEmpty()) {
        m_mensajes.mostrar(
            kTituloMensaje, QStringLiteral("Debe instalar primero el QDL "), Icono::Informacion);
        return Resultado::SinSistema;
    }
    // A system folder written with a doubled separator at its end names the
    // same folder: one is dropped so that the file names below join cleanly.
    if (m_rutaSistema.endsWith(QStringLiteral("//")))
        m_rutaSistema.chop(1);
    // The database is the system folder's file, or the server database
    // that DBEngine names.
    const QString motor = ini.leer(seccion, QStringLiteral("DBEngine"));
    m_ubicacion = UbicacionBase::desdeOpciones(motor, m_rutaSistema, ini.leer(seccion, QStringLiteral("DBName")));
    if (m_ubicacion.motor == Motor::PostgreSQL)
        m_ubicacion = UbicacionBase::desdeOpciones(motor, ini.leer(seccion, QStringLiteral("DBPath")),
                                                   ini.leer(seccion, QStringLiteral("DBName")));

    if (!abrirBase())
        return Resultado::SinBaseDatos;

    m_fallos = 0;
    bool bloqueada = false;
    {
        // The whole installation holds the write lock once: when another
        // program holds it, the installer waits the store's busy time one
        // single time and stops, instead of waiting again for every
        // statement. A run that stops half-way leaves the host's tables as
        // they were. A statement that fails is shown and skipped; the others
        // still go in.
        Transaccion transaccion(db(), Transaccion::Modo::Inmediata);
        bloqueada = !transaccion.iniciada();
        if (!bloqueada) {
            crearTablas();
            for (const Tabla &t : tablasModulo()) {
                if (t.nombresColumnas().contains(QStringLiteral("semana"), Qt::CaseInsensitive))
                    asegurarSemanaPredeterminada(t.nombre);
            }
            escribirParametros();
            escribirReportes();
            escribirEnvio();
            // A commit that fails is tried once more so that its reason is shown.
            if (!transaccion.confirmar())
                ejecutarSentencia(QStringLiteral("COMMIT"));
        }
    }

    BaseDatos::cerrar(m_conexion);
    if (bloqueada) {
        m_mensajes.mostrar(kTituloMensaje,
            QStringLiteral("La instalaci\u00f3n no termin\u00f3: la base de datos %1 est\u00e1 bloqueada por otro "
                           "programa. No se escribi\u00f3 nada; vuelva a instalar cuando se libere.")
                .arg(rutaBase()),
            Icono::Critico);
        return Resultado::Incompleta;
    }
    if (m_fallos > 0) {
        m_mensajes.mostrar(kTituloMensaje,
            QStringLiteral("La instalaci\u00f3n no termin\u00f3 bien: %1 sentencia(s) fallaron y se omitieron.")
                .arg(m_fallos),
            Icono::Critico);
        return Resultado::Incompleta;
    }
    return Resultado::Completa;
}

bool Instalador::abrirBase()
{
    const ErrorBD error = BaseDatos::abrir(m_ubicacion, m_conexion);
    if (!error.hay())
        return true;
    BaseDatos::cerrar(m_conexion);
    const QString texto = error.numero == kErrorBaseBloqueada
        ? numeroConBlanco(error.numero) + QStringLiteral("- Base de datos esta bloqueda")
        : error.texto + u'\n' + numeroConBlanco(error.numero);
    m_mensajes.mostrar(QStringLiteral("Error de Conecci\u00f3n"), texto, Icono::Ninguno, Botones::Aceptar);
    return false;
}

bool Instalador::ejecutarSentencia(const QString &sql, const QVariantList &valores)
{
    ErrorBD error;
    {
        std::optional<PuntoDeRetorno> punto;
        PuntoDeRetorno::porSentencia(punto, db());
        QSqlQuery q(db());
        // A statement without values runs as it is: a server prepares no
        // statement that creates or changes a table.
        bool ok = false;
        if (valores.isEmpty()) {
            ok = q.exec(sql);
        } else if (q.prepare(sql)) {
            for (qsizetype i = 0; i < valores.size(); ++i)
                q.bindValue(int(i), valores.at(i));
            ok = q.exec();
        }
        if (ok) {
            if (punto)
                punto->confirmar();
            return true;
        }
        error = traducirError(q.lastError());
    }
    return informarError(error);
}

bool Instalador::ejecutarPreparada(QSqlQuery &consulta, const QVariantList &valores)
{
    for (qsizetype i = 0; i < valores.size(); ++i)
        consulta.bindValue(int(i), valores.at(i));
    std::optional<PuntoDeRetorno> punto;
    PuntoDeRetorno::porSentencia(punto, db());
    if (consulta.exec()) {
        if (punto)
            punto->confirmar();
        return true;
    }
    punto.reset();
    const ErrorBD error = traducirError(consulta.lastError());
    consulta.finish();
    return informarError(error);
}

bool Instalador::informarError(const ErrorBD &error)
{
    switch (error.numero) {
    case kErrorTablaExiste:
        // The question is asked, but nothing is ever overwritten: whatever
        // the answer, the statement is left out and the installation goes on.
        m_mensajes.mostrar(Mensaje { kTituloMensaje,
            QStringLiteral("\nSe  detectado que ya existen las tablas del QDL DE "
                           "FRACCIONAMIENTO Desea Sobreescribirlas?"),
            Icono::Pregunta, Botones::SiNo, Respuesta::No });
        break;
    case kErrorIndiceExiste:
        break;
    default:
        ++m_fallos;
        m_mensajes.mostrar(QStringLiteral("Error al Ejecutar Sentencia SQL"),
            QStringLiteral("Error N\u00famero : ") + QString::number(error.numero) + u'\n' + error.texto,
            Icono::Critico);
        break;
    }
    return false;
}

void Instalador::crearTablas()
{
    // Under the installation's write lock: nobody creates a table meanwhile.
    const Motor motor = motorDe(db());
    for (const Tabla &t : tablasModulo()) {
        if (existeTabla(db(), t.nombre) || !ejecutarSentencia(t.sentenciaCrear(motor)))
            continue;
        for (const QString &comentario : t.sentenciasComentario(motor))
            ejecutarSentencia(comentario);
        ejecutarSentencia(t.sentenciaClave(motor));
    }
}

bool Instalador::asegurarSemanaPredeterminada(const QString &tablaBuscada)
{
    QSqlDatabase base = db();
    if (motorDe(base) == Motor::PostgreSQL) {
        // A server changes a column's default in place.
        for (const Columna &c : columnasDeclaradas(base, tablaBuscada)) {
            if (c.nombre.compare(u"semana", Qt::CaseInsensitive) != 0)
                continue;
            if (esCeroPredeterminado(c.predeterminado))
                return true;
            return ejecutarSentencia(QStringLiteral("ALTER TABLE ") + tablaBuscada
                                     + QStringLiteral(" ALTER COLUMN semana SET DEFAULT 0"));
        }
        return false;
    }
    QString tabla;
    {
        QSqlQuery q(base);
        q.prepare(
            QStringLiteral("SELECT name FROM sqlite_master WHERE type='table' AND upper(name)=upper(?)"));
        q.addBindValue(tablaBuscada);
        if (!q.exec() || !q.next())
            return false;
        tabla = q.value(0).toString();
    }

    struct Definicion
    {
        QString nombre, tipo, predeterminado;
        bool noNulo = false;
        int posicionClave = 0;
    };
    QList<Definicion> columnas;
    bool conSemana = false;
    bool yaTieneCero = false;
    {
        QSqlQuery q(base);
        q.prepare(QStringLiteral("SELECT name, type, \"notnull\", dflt_value, pk FROM pragma_table_info(?)"));
        q.addBindValue(tabla);
        if (!q.exec())
            return false;
        while (q.next()) {
            Definicion d { q.value(0).toString(), q.value(1).toString(),
                q.value(3).isNull() ? QString() : q.value(3).toString(), q.value(2).toInt() != 0,
                q.value(4).toInt() };
            if (d.nombre.compare(u"semana", Qt::CaseInsensitive) == 0) {
                conSemana = true;
                yaTieneCero = esCeroPredeterminado(q.value(3));
            }
            columnas.append(d);
        }
    }
    if (!conSemana)
        return false;
    if (yaTieneCero)
        return true;

    // The engine cannot change a column's default in place: the table is
    // built again under a new name with the same columns, the rows are
    // copied, the old one dropped and the new one renamed, and its indexes
    // (the primary key among them) and triggers are recreated, all in one
    // transaction.
    QStringList definiciones, nombres, clave;
    QList<std::pair<int, QString>> ordenClave;
    for (const Definicion &d : columnas) {
        QString def = identificador(d.nombre);
        if (!d.tipo.isEmpty())
            def += u' ' + d.tipo;
        if (d.noNulo)
            def += QStringLiteral(" NOT NULL");
        if (d.nombre.compare(u"semana", Qt::CaseInsensitive) == 0)
            def += QStringLiteral(" DEFAULT 0");
        else if (!d.predeterminado.isEmpty())
            def += QStringLiteral(" DEFAULT (") + d.predeterminado + u')';
        definiciones << def;
        nombres << identificador(d.nombre);
        if (d.posicionClave > 0)
            ordenClave.append({ d.posicionClave, identificador(d.nombre) });
    }
    std::sort(ordenClave.begin(), ordenClave.end());
    for (const auto &par : ordenClave)
        clave << par.second;
    if (!clave.isEmpty())
        definiciones << QStringLiteral("PRIMARY KEY (") + clave.join(u',') + u')';

    QSqlQuery q(base);
    // Renaming must not try to rewrite views that name the table while it is
    // briefly missing.
    q.exec(QStringLiteral("PRAGMA legacy_alter_table=ON"));
    bool hecho = false;
    {
        PuntoDeRetorno transaccion(base);
        if (transaccion.iniciado()) {
            QStringList dependientes;
            QSqlQuery d(base);
            d.prepare(QStringLiteral("SELECT sql FROM sqlite_master WHERE type IN ('index','trigger') "
                                     "AND tbl_name=? AND sql IS NOT NULL ORDER BY type='trigger', name"));
            d.addBindValue(tabla);
            bool ok = d.exec();
            while (ok && d.next())
                dependientes << d.value(0).toString();
            d.finish();

            const QString nueva = QStringLiteral("kv_nueva_") + tabla;
            const QString lista = nombres.join(u',');
            QStringList pasos = {
                QStringLiteral("CREATE TABLE ") + identificador(nueva) + u'('
                    + definiciones.join(QStringLiteral(", ")) + u')',
                QStringLiteral("INSERT INTO ") + identificador(nueva) + u'(' + lista
                    + QStringLiteral(") SELECT ") + lista + QStringLiteral(" FROM ") + identificador(tabla),
                QStringLiteral("DROP TABLE ") + identificador(tabla),
                QStringLiteral("ALTER TABLE ") + identificador(nueva) + QStringLiteral(" RENAME TO ")
                    + identificador(tabla),
            };
            pasos << dependientes;
            for (const QString &paso : std::as_const(pasos)) {
                ok = ok && q.exec(paso);
            }
            q.finish();
            hecho = ok && transaccion.confirmar();
        }
    }
    q.exec(QStringLiteral("PRAGMA legacy_alter_table=OFF"));
    return hecho;
}

void Instalador::escribirParametros()
{
    for (const FilaParametro &p : kParametros) {
        const QVariantList clave = { deUtf8(p.numero), deUtf8(p.argumento) };
        const QVariantList valores = { deUtf8(p.funcion), deUtf8(p.correl) };
        escribirFila(QStringLiteral("PARAM"), { QStringLiteral("Numero"), QStringLiteral("Argumento") },
            clave, { QStringLiteral("Funcion"), QStringLiteral("Correl_param") }, valores);
    }
}

void Instalador::escribirReportes()
{
    for (const FilaReporte &r : kReportes) {
        const QString codigo = QString::fromUtf16(r.codigo);
        const QString descripcion = QString::fromUtf16(r.descripcion);
        const int existe
            = buscarFila(QStringLiteral("SELECT 1 FROM Reportes WHERE upper(CodRep)=upper(?)"), { codigo });
        // The catalogue's third column is the host's flag, set for the
        // module's reports; its name is the host's, so the row is added by
        // position.
        if (existe > 0)
            ejecutarSentencia(QStringLiteral("UPDATE Reportes SET DescRep=? WHERE upper(CodRep)=upper(?)"),
                { descripcion, codigo });
        else if (existe == 0)
            ejecutarSentencia(QStringLiteral("INSERT INTO Reportes VALUES (?,?,1)"), { codigo, descripcion });
    }
}

int Instalador::buscarFila(const QString &sql, const QVariantList &valores)
{
    {
        std::optional<PuntoDeRetorno> punto;
        PuntoDeRetorno::porSentencia(punto, db());
        QSqlQuery q(db());
        bool ok = q.prepare(sql);
        for (const QVariant &v : valores)
            q.addBindValue(v);
        if (ok && q.exec()) {
            const int hay = q.next() ? 1 : 0;
            if (punto)
                punto->confirmar();
            return hay;
        }
    }
    // Shows why the row could not be looked up; the row is left out.
    ejecutarSentencia(sql, valores);
    return -1;
}

void Instalador::escribirFila(const QString &tabla, const QStringList &clave,
    const QVariantList &valoresClave, const QStringList &columnas, const QVariantList &valores)
{
    // Text keys compare without regard to case, as the host's engine
    // always compared them, so a key written in other letters is updated,
    // never duplicated.
    QStringList condiciones;
    for (const QString &c : clave)
        condiciones << QStringLiteral("upper(") + c + QStringLiteral(")=upper(?)");
    const QString donde = QStringLiteral(" WHERE ") + condiciones.join(QStringLiteral(" AND "));

    const int existe = buscarFila(QStringLiteral("SELECT 1 FROM ") + tabla + donde, valoresClave);
    if (existe < 0)
        return;
    if (existe > 0) {
        QStringList asignaciones;
        for (const QString &c : columnas)
            asignaciones << c + QStringLiteral("=?");
        ejecutarSentencia(QStringLiteral("UPDATE ") + tabla + QStringLiteral(" SET ")
                + asignaciones.join(QStringLiteral(", ")) + donde,
            valores + valoresClave);
    } else {
        const QStringList todas = clave + columnas;
        QStringList marcas;
        for (qsizetype i = 0; i < todas.size(); ++i)
            marcas << QStringLiteral("?");
        ejecutarSentencia(QStringLiteral("INSERT INTO ") + tabla + QStringLiteral(" (")
                + todas.join(QStringLiteral(", ")) + QStringLiteral(") VALUES (") + marcas.join(u',') + u')',
            valoresClave + valores);
    }
}

void Instalador::escribirEnvio()
{
    QFile archivo(rutaArchivoEnvio());
    if (!archivo.open(QIODevice::ReadOnly)) {
        m_mensajes.mostrar(kTituloMensaje,
            QStringLiteral("No se encontr\u00f3 el archivo ") + rutaArchivoEnvio()
                + QStringLiteral(": no se instal\u00f3 la tabla de env\u00edo"),
            Icono::Exclamacion);
        return;
    }
    const QList<LineaEnvio> lineas = leerArchivoEnvio(archivo.readAll());
    archivo.close();

    // The rows of this form that exist, by their key as the host's engine
    // compared it (letters without regard to case, ASCII only): read once,
    // so that every line then costs one update or one insert by the exact
    // key through the table's index, whatever the length of the file.
    const QString formulario = QString::fromLatin1(kFormulario);
    QHash<QString, QList<std::pair<QString, QString>>> existentes;
    {
        QSqlQuery q(db());
        q.prepare(QStringLiteral("SELECT formulario, tabla_o FROM envio_t WHERE upper(formulario)=upper(?)"));
        q.addBindValue(formulario);
        if (!q.exec()) {
            informarError(traducirError(q.lastError()));
            return;
        }
        while (q.next()) {
            const QString tabla = q.value(1).toString();
            existentes[claveSinMayusculas(tabla)].append({ q.value(0).toString(), tabla });
        }
    }
    QSqlQuery actualizar(db());
    QSqlQuery insertar(db());
    const bool preparadas = actualizar.prepare(QStringLiteral(
                                "UPDATE envio_t SET tabla_d=?, tabla_ext=?, indice=?, obliga=?, c_tip_doc_d=?, "
                                "c_doc_id_d=?, c_Formulario=?, c_periodo=?, c_estado=?, c_envio=?, c_semana=? "
                                "WHERE formulario=? AND tabla_o=?"))
        && insertar.prepare(QStringLiteral(
            "INSERT INTO envio_t (formulario, tabla_o, tabla_d, tabla_ext, indice, obliga, c_tip_doc_d, "
            "c_doc_id_d, c_Formulario, c_periodo, c_estado, c_envio, c_semana) VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?)"));
    if (!preparadas) {
        informarError(traducirError(actualizar.lastError().isValid() ? actualizar.lastError() : insertar.lastError()));
        return;
    }

    for (const LineaEnvio &linea : lineas) {
        if (!linea.fila) {
            m_mensajes.mostrar(kTituloMensaje,
                QStringLiteral("L\u00ednea %1 de %2 omitida, %3: %4")
                    .arg(linea.numero)
                    .arg(QString::fromLatin1(kArchivoEnvio), linea.motivo, linea.texto),
                Icono::Exclamacion);
            continue;
        }
        const FilaEnvio &f = *linea.fila;
        const QVariantList valores
            = QVariantList { f.tablaDestino, f.tablaExterna, f.indice, f.obliga, f.cTipDocD } + f.columnas;
        auto &mismas = existentes[claveSinMayusculas(f.tablaOrigen)];
        if (mismas.isEmpty()) {
            if (ejecutarPreparada(insertar, QVariantList { formulario, f.tablaOrigen } + valores))
                mismas.append({ formulario, f.tablaOrigen });
            continue;
        }
        for (const auto &[formularioGuardado, tablaGuardada] : std::as_const(mismas))
            ejecutarPreparada(actualizar, valores + QVariantList { formularioGuardado, tablaGuardada });
    }
}

QList<LineaEnvio> Instalador::leerArchivoEnvio(const QByteArray &contenido)
{
    QList<LineaEnvio> r;
    const QStringList lineas = desdeCp1252(contenido).split(u'\n');
    for (qsizetype i = 0; i < lineas.size(); ++i) {
        QString texto = lineas.at(i);
        if (texto.endsWith(u'\r'))
            texto.chop(1);
        // A blank line closes the layout: whatever follows is not read.
        if (texto.trimmed().isEmpty())
            break;
        r.append(leerLineaEnvio(int(i) + 1, texto));
    }
    return r;
}

LineaEnvio Instalador::leerLineaEnvio(int numero, const QString &texto)
{
    LineaEnvio linea { numero, texto, std::nullopt, {} };
    const QStringList campos = texto.split(u'|');
    if (campos.size() - 1 < kCamposEnvio) {
        linea.motivo = QStringLiteral("tiene menos de %1 campos terminados en \"|\"").arg(kCamposEnvio);
        return linea;
    }

    FilaEnvio fila;
    fila.tablaOrigen = campos.at(1).trimmed();
    if (fila.tablaOrigen.isEmpty()) {
        linea.motivo = QStringLiteral("el campo 2 (tabla de origen) est\u00e1 vac\u00edo");
        return linea;
    }
    // The destination is kept as written; the host reads a single blank as
    // "no destination".
    fila.tablaDestino = campos.at(2).isEmpty() ? QStringLiteral(" ") : campos.at(2);
    fila.tablaExterna = campos.at(3).trimmed();

    // Fields 5 to 7 are bytes: whole numbers 0 to 255, a fraction rounded to
    // the even neighbour.
    int *const bytes[] = { &fila.indice, &fila.obliga, &fila.cTipDocD };
    for (int i = 0; i < 3; ++i) {
        const auto n = convertirNumero(campos.at(4 + i));
        const std::int64_t v = n ? n->aEnteroPar() : -1;
        if (!n || v < 0 || v > 255) {
            linea.motivo = QStringLiteral("el campo %1 no es un n\u00famero entre 0 y 255").arg(5 + i);
            return linea;
        }
        *bytes[i] = int(v);
    }
    for (int i = 7; i < kCamposEnvio; ++i) {
        const auto n = convertirNumero(campos.at(i));
        if (!n) {
            linea.motivo = QStringLiteral("el campo %1 no es num\u00e9rico").arg(i + 1);
            return linea;
        }
        if (*n == Decimal::entero(n->aEntero()))
            fila.columnas << QVariant::fromValue<qlonglong>(n->aEntero());
        else
            fila.columnas << n->texto().toDouble();
    }
    linea.fila = fila;
    return linea;
}

} // namespace kv
