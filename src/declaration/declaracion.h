#pragma once

#include "store/accesodatos.h"

#include <QDate>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <optional>

namespace kv {

struct Contexto;

// The places of the declaration window a finding can send the user to.
enum class CampoDeclaracion {
    Ninguno,
    CmbRuc,
    TxtNumRuc,
    TxtTelefono,
    MkePeriodo,
    OptRectifica,
    Casilla, // txtValor(casilla)
    FormaPago, // the payment panel: cash or cheque
    Banco, // the payment panel's bank
    NumCheque, // the payment panel's cheque number
    Vuelo, // a flight's row in the grid
};

// One failed check: what the user is told and where the focus goes. Some
// findings are always shown in a message box and end the checking, even
// when the findings are being written to the messages file.
struct Hallazgo
{
    enum class Regla {
        DeclaracionExiste,
        RucInvalido,
        SinContribuyente,
        TelefonoIncompleto,
        PeriodoInvalido,
        TelefonoFijo,
        TelefonoCelular,
        // The rest of the declaration.
        SinImporteAPagar,
        TipoCambioFueraDeRango,
        SinTipoCambio,
        SinFormaDePago,
        ChequeSinBanco,
        ChequeSinNumero,
        ChequeNumeroCero,
        ChequeSinMonto,
    };

    Regla regla;
    QString mensaje;
    CampoDeclaracion campo = CampoDeclaracion::Ninguno;
    QString casilla; // the box number when campo is Casilla
    bool detiene = false; // shown in a message box whatever the mode, and the checking ends
};

// What the identification tab holds when it is checked.
struct DatosIdentificacion
{
    QString entradaRuc; // the taxpayer list's text ("NEW")
    QString numRuc; // TxtNumRuc ("MOD", "REG")
    QString telefono; // TxtTelefono
    QString periodoMostrado; // the period field as shown, mm/yyyy (with "_" while incomplete)
};

// The header values as the payment panel and the order number take them.
struct CabeceraCargada
{
    QString importe; // box 870 as stored; empty without the row
    bool hayCabecera = false;
    QString formapago; // "E" or "C" when there is a header
    QString banco; // trimmed bcolibrad
    QString numcheque; // trimmed nrocheque
    QString norden; // sent declarations: "0" when none was recorded
};

// The stored box values of the declaration, routed as the window shows
// them: the figures by box number, and the header values stored as boxes.
struct CasillasCargadas
{
    QMap<QString, QString> valores; // txtValor by box number, plain numbers
    std::optional<QString> telefono; // 028
    std::optional<QString> importe; // 870, "##,###,###,##0"
    std::optional<QString> formapago; // 872
    std::optional<QString> numcheque; // 012
    std::optional<QString> rectifica; // 871, as stored ("0" is "No")
};

// One declaration of form 0517 open for editing, without its window: the
// mode it was opened in, the working copy of its flights and previous
// payments in the temporary tables, its stored boxes and header, the checks
// of the identification tab and the order number of a sent declaration.
// The taxpayer, the period and the form are the context's current values
// (sRuc, sPeriodo, sFormulario), which the identification tab sets.
class Declaracion
{
public:
    static inline const QString kNueva = QStringLiteral("NEW");
    static inline const QString kModificar = QStringLiteral("MOD");
    static inline const QString kRegistrar = QStringLiteral("REG");

    // The earliest period that may be declared: the tax began in February 2003.
    static inline const QString kPrimerPeriodo = QStringLiteral("02/2003");

    explicit Declaracion(Contexto &contexto);

    // The opener's properties: the mode, whether the declaration is a sent
    // one and which of its copies, and for "REG" its order and control
    // numbers.
    void abrir(const QString &accion, bool historico, const QString &correl, const QString &numOrden = {},
               const QString &numControl = {});
    QString sAccion() const { return m_accion; }
    void setAccion(const QString &accion) { m_accion = accion; }
    bool bHistorico() const { return m_historico; }
    QString sCorrel() const { return m_correl; }
    QString sNumOrden() const { return m_numOrden; }
    QString sNumControl() const { return m_numControl; }
    bool esNueva() const { return m_accion == kNueva; }

    Contexto &contexto() const { return m_ctx; }
    AccesoDatos &datos() { return m_datos; }

    // The 15 boxes of the form in their order, and the text they are listed
    // in ("390-391-...-406-410").
    static QString textoListaCasillas();
    static const QStringList &casillas();
    // What a box holds, as the form labels it ("Tipo de Cambio Venta").
    static QString etiquetaCasilla(const QString &casilla);
    // The header values the box table also holds.
    static const QStringList &casillasCabecera();

    // Empties both temporary tables (every row: one declaration is open at
    // a time).
    bool BorroTemporal(ErrorBD *error = nullptr);
    // Copies the declaration's flights and previous payments (of the chosen
    // copy, for a sent one) into the emptied temporary tables, all in one
    // transaction: on a failure both stay empty.
    bool CargaTemporal(ErrorBD *error = nullptr);
    // A fingerprint of what is stored of a declaration (header, boxes,
    // flights and payments, every column of every row): empty when nothing
    // is. Taken when the declaration is opened and after each save, it
    // tells a save that somebody else saved the same declaration meanwhile.
    // The database works it out and sends back a few short texts, so it
    // costs a read of the rows inside the database and nothing more.
    QByteArray huellaGuardada(const QString &ruc, const QString &periodo, ErrorBD *error = nullptr) const;
    QByteArray huella() const { return m_huella; }
    void fijarHuella(const QByteArray &huella) { m_huella = huella; }

    // The payment panel's values from box 870 and the header; `numchequeActual`
    // is the panel's cheque number when the header is read.
    CabeceraCargada CargarCab(const QString &numchequeActual, ErrorBD *error = nullptr) const;
    // The stored boxes of the declaration for the period shown (mm/yyyy).
    CasillasCargadas CargarCasillas(const QString &periodoMostrado, ErrorBD *error = nullptr) const;

    // The flight grid over the whole working copy, newest arrival first:
    // the columns as the grid shows them, num_totpas the sum of the nine
    // counts.
    static ConsultaSql consultaVuelos(Motor motor);
    enum ColumnaVuelo {
        kFecArribo,
        kCodVuelo,
        kTripulantes,
        kPersonal,
        kTransito,
        kArrFor,
        kDiplo,
        kExtrad,
        kDeport,
        kAfectos,
        kMtoDolar,
        kTotPas,
        kAdqAnterior,
        kColumnasGrilla,
    };
    // Stored column names of the grid's columns, in its order.
    static const QStringList &columnasVuelos();

    // The working copy's rows of one taxpayer and period moved to another,
    // flights and payments together in one transaction: the rows follow
    // the declaration when its taxpayer or period changes. Nothing moves
    // when both keys are the same.
    bool moverCopiaDeTrabajo(const QString &rucAnterior, const QString &periodoAnterior, const QString &ruc,
                             const QString &periodo, ErrorBD *error = nullptr);
    // The statements that move them, for a caller that runs them inside
    // a transaction of its own.
    static QList<ConsultaSql> sentenciasMoverCopia(const QString &rucAnterior, const QString &periodoAnterior,
                                                   const QString &ruc, const QString &periodo,
                                                   const QString &formulario);

    // Deletes one flight of the current declaration from the working copy;
    // a failure has shown the engine's message.
    bool EliminaVuelo(const QDate &fecArribo, const QString &codVuelo);

    // A declaration of the form is stored (CAB) for the taxpayer and period (yyyymm).
    bool existeDeclaracion(const QString &ruc, const QString &periodo) const;

    // The checks of the identification tab in their order. The list ends at
    // the first finding that stops the checking; a window that shows the
    // findings one at a time shows only the first.
    QList<Hallazgo> ValIdent(const DatosIdentificacion &datos) const;

    // The business name takes letters A to Z (turned to upper case), digits,
    // the full stop, the blank and Backspace; the key to use, 0 to drop it.
    static int teclaRazonSocial(int tecla);

    // mm/yyyy as shown and yyyymm as stored.
    static QString periodoAlmacenado(const QString &mostrado);
    static QString periodoMostrado(const QString &almacenado);
    // A taxpayer list entry: the document number in its first 11 characters,
    // the name from character 14 on.
    static QString rucDeEntrada(const QString &entrada);
    static QString razonDeEntrada(const QString &entrada);

    // The order number of a sent declaration: eight characters and the
    // verification code of the control number.
    enum class EstadoOrden { Valido, LargoIncorrecto, VerificadorIncorrecto };
    EstadoOrden validarOrden(const QString &orden, const QString &verificador) const;
    // The code shown beside an order number that is already recorded; empty
    // when the declaration has none of eight characters.
    QString verificadorInicial() const;
    enum class ResultadoOrden { Grabado, SinCabecera, Fallo };
    // Records the order number in the sent header with its new check code.
    ResultadoOrden GrabarNumeroOrden(const QString &orden, ErrorBD *error = nullptr);

private:
    // The fingerprint's query: on SQLite the tables' columns are named, so
    // it is built once per declaration.
    static QString consultaHuella(QSqlDatabase db);

    Contexto &m_ctx;
    AccesoDatos m_datos;
    mutable QString m_consultaHuella;
    QString m_accion = kNueva;
    bool m_historico = false;
    QString m_correl;
    QString m_numOrden;
    QString m_numControl;
    QByteArray m_huella;
};

} // namespace kv
