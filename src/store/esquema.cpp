#include "esquema.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace kv {

namespace {

QList<Columna> columnas(std::initializer_list<const char *> pares)
{
    // "name:type" or "name:type:default"
    QList<Columna> lista;
    for (const char *par : pares) {
        const QStringList partes = QString::fromLatin1(par).split(u':');
        lista.append(Columna{partes.at(0), partes.at(1), partes.value(2)});
    }
    return lista;
}

QStringList nombres(std::initializer_list<const char *> lista)
{
    QStringList r;
    for (const char *n : lista)
        r << QString::fromLatin1(n);
    return r;
}


Tabla tablaVuelos(const QString &nombre, bool historica)
{
    Tabla t{nombre, columnas({"tip_doc_d:Byte", "doc_id_d:Text(15)", "periodo:Text(6)", "formulario:Text(4)"}),
            nombres({"tip_doc_d", "doc_id_d", "periodo", "Formulario"})};
    if (historica) {
        t.columnas << Columna{QStringLiteral("correl"), QStringLiteral("Text(3)"), {}};
        t.clave << QStringLiteral("correl");
    }
    t.columnas << columnas({"fec_arribo:Date", "cod_vuelo:Text(15)", "num_tripulantes:Text(5)",
                            "num_personal:Text(5)", "num_transito:Text(5)", "num_arrfor:Text(5)",
                            "num_diplo:Text(5)", "num_extrad:Text(5)", "num_deport:Text(5)",
                            "num_adqanterior:Text(5)", "num_afectos:Text(5)", "mto_dolar:Text(15)",
                            "cnumero:Text(6)"});
    t.clave << nombres({"fec_arribo", "cod_vuelo"});
    return t;
}

Tabla tablaPagos(const QString &nombre, bool historica)
{
    Tabla t{nombre,
            columnas({"tip_doc_d:Byte", "doc_id_d:Text(15)", "Periodo:Text(6)", "formulario:Text(4)",
                      "semana:Byte:0"}),
            nombres({"tip_doc_d", "doc_id_d", "Periodo", "formulario", "semana"})};
    if (historica) {
        t.columnas << Columna{QStringLiteral("correl"), QStringLiteral("Text(3)"), {}};
        t.clave << QStringLiteral("correl");
    }
    t.columnas << columnas({"cod_boleta:Text(4)", "num_operacion:Text(8)", "cod_tributo:Text(6)", "fec_pago:Date",
                            "mto_soles:Text(15)", "tip_cambio:Text(5)", "mto_dolar:Text(15)", "cnumero:Text(6)"});
    t.clave << nombres({"cod_boleta", "num_operacion", "cod_tributo", "fec_pago"});
    return t;
}

} // namespace

QString tipoSegunMotor(const QString &declarado, Motor motor)
{
    if (motor == Motor::SQLite)
        return declarado;
    const QString t = declarado.trimmed().toLower();
    if (t == u"byte")
        return QStringLiteral("smallint");
    if (t == u"integer" || t == u"long")
        return QStringLiteral("integer");
    if (t == u"date")
        return QStringLiteral("varchar(19)");
    if (t.startsWith(u"text(") && t.endsWith(u')'))
        return QStringLiteral("varchar") + t.mid(4);
    if (t == u"text")
        return QStringLiteral("text");
    return declarado;
}

namespace {

// Names are written bracketed on SQLite, as they were declared; PostgreSQL
// folds unquoted names to lower case, and every statement of the programs
// writes them unquoted.
QString nombreSegunMotor(const QString &nombre, Motor motor)
{
    return motor == Motor::SQLite ? u'[' + nombre + u']' : nombre;
}

} // namespace

QString Tabla::sentenciaCrear(Motor motor) const
{
    QStringList definiciones;
    for (const Columna &c : columnas) {
        QString d = nombreSegunMotor(c.nombre, motor) + u' ' + tipoSegunMotor(c.tipo, motor);
        if (!c.predeterminado.isEmpty())
            d += QStringLiteral(" DEFAULT ") + c.predeterminado;
        definiciones << d;
    }
    return QStringLiteral("CREATE TABLE ") + nombre + u'(' + definiciones.join(QStringLiteral(", ")) + u')';
}

QString Tabla::sentenciaClave(Motor motor) const
{
    QStringList cols;
    for (const QString &c : clave)
        cols << nombreSegunMotor(c, motor);
    return QStringLiteral("CREATE UNIQUE INDEX PK_") + nombre + QStringLiteral(" ON ") + nombre + QStringLiteral(" (")
        + cols.join(u',') + u')';
}

QStringList Tabla::sentenciasComentario(Motor motor) const
{
    QStringList r;
    if (motor == Motor::SQLite)
        return r;
    for (const Columna &c : columnas) {
        // Names and types are the schema's own letters, digits and brackets:
        // nothing to escape.
        r << QStringLiteral("COMMENT ON COLUMN ") + nombre + u'.' + c.nombre + QStringLiteral(" IS '") + c.nombre
                + u':' + c.tipo + u'\'';
    }
    return r;
}

QStringList Tabla::nombresColumnas() const
{
    QStringList r;
    for (const Columna &c : columnas)
        r << c.nombre;
    return r;
}

const QList<Tabla> &tablasModulo()
{
    static const QList<Tabla> tablas = {
        tablaVuelos(QStringLiteral("F517DETVP"), false),     tablaVuelos(QStringLiteral("HF517DETVP"), true),
        tablaPagos(QStringLiteral("F517PAGPRE"), false),     tablaPagos(QStringLiteral("HF517PAGPRE"), true),
        tablaVuelos(QStringLiteral("TMPF517DETVP"), false),  tablaPagos(QStringLiteral("TMPF517PAGPRE"), false),
    };
    return tablas;
}

const Tabla *tablaModulo(const QString &nombre)
{
    for (const Tabla &t : tablasModulo()) {
        if (t.nombre.compare(nombre, Qt::CaseInsensitive) == 0)
            return &t;
    }
    return nullptr;
}

const QList<Tabla> &tablasIntegrador()
{
    // Column order matters where the programs rely on it: the check code
    // last in CAB, HCAB and DET; the document number second and the name
    // fourth in CONT; four columns in PARAM; thirteen in envio_t.
    static const QList<Tabla> tablas = {
        {QStringLiteral("CAB"),
         columnas({"tip_doc_d:Byte", "doc_id_d:Text(15)", "periodo:Text(6)", "Formulario:Text(4)", "fec_pro:Date",
                   "rectifica:Text(1)", "bcolibrad:Text(2)", "nrocheque:Text(15)", "cheque:Text(15)",
                   "efectivo:Text(15)", "estado:Integer", "norden:Text(15)", "cNumero:Text(6)"}),
         nombres({"tip_doc_d", "doc_id_d", "periodo", "Formulario"})},
        {QStringLiteral("HCAB"),
         columnas({"tip_doc_d:Byte", "doc_id_d:Text(15)", "periodo:Text(6)", "Formulario:Text(4)", "correl:Text(3)",
                   "fec_pro:Date", "rectifica:Text(1)", "bcolibrad:Text(2)", "nrocheque:Text(15)",
                   "cheque:Text(15)", "efectivo:Text(15)", "estado:Integer", "norden:Text(15)", "fec_env:Date",
                   "control:Text(8)", "cNumero:Text(6)"}),
         nombres({"tip_doc_d", "doc_id_d", "periodo", "Formulario", "correl"})},
        {QStringLiteral("DET"),
         columnas({"doc_id_d:Text(15)", "tip_doc_d:Byte", "periodo:Text(6)", "Formulario:Text(4)",
                   "Casilla:Text(3)", "i_valor:Text(30)", "idcasilla:Text(2)", "estado:Integer", "cNumero:Text(6)"}),
         nombres({"tip_doc_d", "doc_id_d", "periodo", "Formulario", "Casilla"})},
        {QStringLiteral("HDET"),
         columnas({"doc_id_d:Text(15)", "tip_doc_d:Byte", "periodo:Text(6)", "Formulario:Text(4)",
                   "correl:Text(3)", "Casilla:Text(3)", "i_valor:Text(30)", "idcasilla:Text(2)", "estado:Integer",
                   "cNumero:Text(6)"}),
         nombres({"tip_doc_d", "doc_id_d", "periodo", "Formulario", "correl", "Casilla"})},
        {QStringLiteral("CONT"),
         columnas({"Tip_doc_d:Byte", "Doc_id_d:Text(15)", "Fec_reg:Date", "Nombre:Text(100)", "Usuario:Text(20)"}),
         nombres({"Tip_doc_d", "Doc_id_d"})},
        {QStringLiteral("PARAM"),
         columnas({"Numero:Text(3)", "Argumento:Text(20)", "Funcion:Text(255)", "Correl_param:Text(3)"}),
         nombres({"Numero", "Argumento"})},
        {QStringLiteral("CLAVES"), columnas({"Usuario:Text(20)", "Nombre:Text(60)", "Tipo:Text(1)"}),
         nombres({"Usuario"})},
        {QStringLiteral("ERROR"), columnas({"CodError:Text(4)", "DescError:Text(255)"}), nombres({"CodError"})},
        {QStringLiteral("SPOOL"),
         columnas({"CodRep:Text(6)", "Secuencia:Text(6)", "Archivo:Text(12)", "Fecha:Date", "Usuario:Text(20)",
                   "tip_doc_d:Byte", "doc_id_d:Text(15)"}),
         nombres({"Archivo"})},
        {QStringLiteral("Reportes"), columnas({"CodRep:Text(6)", "DescRep:Text(60)", "Activo:Integer"}),
         nombres({"CodRep"})},
        {QStringLiteral("envio_t"),
         columnas({"formulario:Text(4)", "tabla_o:Text(20)", "tabla_d:Text(20)", "tabla_ext:Text(20)",
                   "indice:Byte", "obliga:Byte", "c_tip_doc_d:Byte", "c_doc_id_d:Long", "c_Formulario:Long",
                   "c_periodo:Long", "c_estado:Long", "c_envio:Long", "c_semana:Long"}),
         nombres({"formulario", "tabla_o"})},
    };
    return tablas;
}

ErrorBD crearCopiasDeTrabajoPrivadas(QSqlDatabase db)
{
    const Motor motor = motorDe(db);
    QSqlQuery q(db);
    for (const char *nombre : {"TMPF517DETVP", "TMPF517PAGPRE"}) {
        const Tabla *t = tablaModulo(QString::fromLatin1(nombre));
        const bool existe = motor == Motor::SQLite
            ? q.exec(QStringLiteral("SELECT 1 FROM sqlite_temp_master WHERE type='table' AND upper(name)=upper('%1')")
                         .arg(t->nombre))
                && q.next()
            : q.exec(QStringLiteral("SELECT 1 FROM pg_catalog.pg_class WHERE relnamespace = pg_my_temp_schema() "
                                    "AND lower(relname) = lower('%1')")
                         .arg(t->nombre))
                && q.next();
        if (existe)
            continue;
        QString crear = t->sentenciaCrear(motor);
        crear.replace(0, int(qstrlen("CREATE TABLE")), QStringLiteral("CREATE TEMPORARY TABLE"));
        QString clave = t->sentenciaClave(motor);
        if (motor == Motor::SQLite) // the index goes with its table, in the temporary schema
            clave.replace(QStringLiteral("INDEX PK_"), QStringLiteral("INDEX temp.PK_"));
        QStringList sentencias{crear};
        if (motor == Motor::PostgreSQL) {
            for (QString c : t->sentenciasComentario(motor))
                sentencias << c.replace(QStringLiteral("ON COLUMN "), QStringLiteral("ON COLUMN pg_temp."));
        }
        sentencias << clave;
        for (const QString &sentencia : sentencias) {
            if (!q.exec(sentencia))
                return traducirError(q.lastError());
        }
    }
    return {};
}

ErrorBD crearTablas(QSqlDatabase db, const QList<Tabla> &tablas)
{
    const Motor motor = motorDe(db);
    QSqlQuery q(db);
    for (const Tabla &t : tablas) {
        if (existeTabla(db, t.nombre))
            continue;
        QStringList sentencias{t.sentenciaCrear(motor)};
        sentencias << t.sentenciasComentario(motor) << t.sentenciaClave(motor);
        for (const QString &sentencia : sentencias) {
            if (!q.exec(sentencia))
                return traducirError(q.lastError());
        }
    }
    return {};
}

QList<Columna> columnasDeclaradas(QSqlDatabase db, const QString &tabla)
{
    QList<Columna> r;
    QSqlQuery q(db);
    if (motorDe(db) == Motor::PostgreSQL) {
        // The declared name and type are the column's comment ("name:type");
        // a column without one shows the server's own name and type.
        q.prepare(QStringLiteral(
            "SELECT a.attname, format_type(a.atttypid, a.atttypmod), pg_get_expr(d.adbin, d.adrelid), "
            "col_description(a.attrelid, a.attnum) "
            "FROM pg_catalog.pg_attribute a JOIN pg_catalog.pg_class c ON c.oid = a.attrelid "
            "LEFT JOIN pg_catalog.pg_attrdef d ON d.adrelid = a.attrelid AND d.adnum = a.attnum "
            "WHERE c.oid = (SELECT c2.oid FROM pg_catalog.pg_class c2 "
            "  JOIN pg_catalog.pg_namespace n ON n.oid = c2.relnamespace "
            "  WHERE c2.relkind = 'r' AND lower(c2.relname) = lower(?) AND n.nspname = ANY (current_schemas(false)) "
            "  ORDER BY array_position(current_schemas(false), n.nspname) LIMIT 1) "
            "AND a.attnum > 0 AND NOT a.attisdropped ORDER BY a.attnum"));
        q.addBindValue(tabla);
        if (!q.exec())
            return r;
        while (q.next()) {
            const QString comentario = q.value(3).toString();
            const qsizetype dos = comentario.indexOf(u':');
            Columna c{q.value(0).toString(), q.value(1).toString(), q.value(2).toString()};
            if (dos > 0) {
                c.nombre = comentario.left(dos);
                c.tipo = comentario.mid(dos + 1);
            }
            // A default reads back with its cast ("0::smallint").
            c.predeterminado = c.predeterminado.section(QStringLiteral("::"), 0, 0);
            r.append(c);
        }
        return r;
    }
    q.prepare(QStringLiteral("SELECT name, type, dflt_value FROM pragma_table_info(?)"));
    q.addBindValue(tabla);
    if (!q.exec())
        return r;
    while (q.next())
        r.append(Columna{q.value(0).toString(), q.value(1).toString(), q.value(2).toString()});
    return r;
}

bool existeTabla(QSqlDatabase db, const QString &tabla)
{
    QSqlQuery q(db);
    if (motorDe(db) == Motor::PostgreSQL)
        q.prepare(QStringLiteral("SELECT 1 FROM pg_catalog.pg_class c JOIN pg_catalog.pg_namespace n "
                                 "ON n.oid = c.relnamespace WHERE c.relkind = 'r' AND lower(c.relname) = lower(?) "
                                 "AND n.nspname = ANY (current_schemas(false))"));
    else
        q.prepare(QStringLiteral("SELECT 1 FROM sqlite_master WHERE type='table' AND upper(name)=upper(?)"));
    q.addBindValue(tabla);
    return q.exec() && q.next();
}

} // namespace kv
