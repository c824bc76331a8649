#include "modelodeclaraciones.h"

#include "store/formato.h"

#include <QPainter>
#include <QPixmap>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace kv {

namespace {

struct ColumnaGrilla
{
    const char *titulo;
    const char *campo;
};

const ColumnaGrilla kGrilla[ModeloDeclaraciones::kColumnas] = {
    {"RUC", "doc_id_d"},          {"Razón Social", "Nombre"}, {"Período", "periodo"},
    {"Formulario", "formulario"}, {"Estado", "Estado"},       {"Nro. Orden", "nOrden"},
    {"Fec. de Envio", "fec_env"}, {"Nro. Control", "Control"}, {"Correlativo", "Correl"},
    {"Rectifica", "Rectifica"},   {"Orden", "nOrden"},
};

// A small round badge: green with a tick for a consistent declaration, red
// with an exclamation mark for one with findings.
QIcon dibujarEstado(const QColor &color, bool correcto)
{
    QIcon icono;
    for (const int lado : {16, 32}) {
        QPixmap imagen(lado, lado);
        imagen.fill(Qt::transparent);
        QPainter p(&imagen);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(color.darker(140), lado / 16.0));
        p.setBrush(color);
        p.drawEllipse(QRectF(0.5, 0.5, lado - 1.0, lado - 1.0));
        p.setPen(QPen(Qt::white, lado / 8.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        const double u = lado / 16.0;
        if (correcto) {
            const QPointF trazo[] = {{4 * u, 8.5 * u}, {7 * u, 11.5 * u}, {12 * u, 5 * u}};
            p.drawPolyline(trazo, 3);
        } else {
            p.drawLine(QPointF(8 * u, 3.5 * u), QPointF(8 * u, 9 * u));
            p.drawPoint(QPointF(8 * u, 12 * u));
        }
        p.end();
        icono.addPixmap(imagen);
    }
    return icono;
}

} // namespace

ModeloDeclaraciones::ModeloDeclaraciones(QObject *padre) : QSqlQueryModel(padre)
{
    std::fill(std::begin(m_campos), std::end(m_campos), -1);
}

bool ModeloDeclaraciones::cargar(QSqlDatabase db, const ConsultaSql &consulta, ErrorBD *error)
{
    ErrorBD fallo;
    QSqlQuery q = ejecutarConsulta(db, consulta, &fallo, false);
    if (error)
        *error = fallo;
    if (fallo.hay()) {
        clear();
        std::fill(std::begin(m_campos), std::end(m_campos), -1);
        return false;
    }
    // Fields are found by name (any case); the views hear of the new rows
    // only when the query is in place, after the fields are known.
    const QSqlRecord campos = q.record();
    for (int c = 0; c < kColumnas; ++c)
        m_campos[c] = campos.indexOf(QString::fromLatin1(kGrilla[c].campo));
    setQuery(std::move(q));
    while (canFetchMore())
        fetchMore();
    return true;
}

QString ModeloDeclaraciones::valor(int fila, int columna) const
{
    const int c = campo(columna);
    if (c < 0 || fila < 0 || fila >= rowCount())
        return {};
    return QSqlQueryModel::data(QSqlQueryModel::index(fila, c), Qt::DisplayRole).toString();
}

int ModeloDeclaraciones::columnCount(const QModelIndex &padre) const
{
    return padre.isValid() ? 0 : kColumnas;
}

QVariant ModeloDeclaraciones::data(const QModelIndex &indice, int rol) const
{
    if (!indice.isValid() || indice.model() != this)
        return {};
    const int columna = indice.column();
    const QString texto = valor(indice.row(), columna);
    switch (rol) {
    case Qt::DisplayRole:
        if (columna == kPeriodo)
            return formato(QStringView(texto), u"0#/####");
        if (columna == kFechaEnvio)
            return fechaMostrada(texto);
        if (columna == kEstado && !texto.isEmpty() && !iconoEstado(texto.toInt()).isNull())
            return QVariant(); // the picture says it
        return texto;
    case Qt::DecorationRole:
        if (columna == kEstado && !texto.isEmpty())
            return iconoEstado(texto.toInt());
        return {};
    case Qt::ToolTipRole:
        if (columna == kNombre)
            return texto.trimmed();
        if (columna == kEstado && !texto.isEmpty()) {
            if (texto.toInt() == kEstadoConsistente)
                return QStringLiteral("Sin inconsistencias");
            if (texto.toInt() == kEstadoConInconsistencias)
                return QStringLiteral("Con inconsistencias");
        }
        return {};
    case Qt::TextAlignmentRole:
        if (columna == kEstado)
            return int(Qt::AlignCenter);
        return int(Qt::AlignLeft | Qt::AlignVCenter);
    case Qt::UserRole:
        return texto;
    default:
        return {};
    }
}

QVariant ModeloDeclaraciones::headerData(int seccion, Qt::Orientation orientacion, int rol) const
{
    if (orientacion == Qt::Horizontal && rol == Qt::DisplayRole && seccion >= 0 && seccion < kColumnas)
        return QString::fromUtf8(kGrilla[seccion].titulo);
    return QSqlQueryModel::headerData(seccion, orientacion, rol);
}

Qt::ItemFlags ModeloDeclaraciones::flags(const QModelIndex &indice) const
{
    return indice.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

QIcon ModeloDeclaraciones::iconoEstado(int estado)
{
    static const QIcon consistente = dibujarEstado(QColor(0x2e, 0x9d, 0x4a), true);
    static const QIcon inconsistente = dibujarEstado(QColor(0xd0, 0x3a, 0x2f), false);
    if (estado == kEstadoConsistente)
        return consistente;
    if (estado == kEstadoConInconsistencias)
        return inconsistente;
    return {};
}

} // namespace kv
