#pragma once

#include "hojacalculo.h"

#include <QBuffer>
#include <QByteArray>
#include <QHash>
#include <QList>
#include <QXmlStreamReader>
#include <functional>
#include <memory>

namespace kv {

class EntradaZip;

// A workbook (.xlsx): a zip of XML parts. The sheet's XML is read as the
// rows are asked for, and its shared texts only as far as the rows read so
// far need them. A cell shows what a person sees in it: a text, a number,
// "VERDADERO" or "FALSO", and a number formatted as a date (a day counted
// from 1900, or from 1904 when the workbook says so) as dd/mm/yyyy.
//
// A damaged file is refused with a message, never read in part: one that is
// not a zip, or is cut short; one whose parts would expand beyond 256 MB; a
// sheet the workbook names but does not hold; a cell beyond column XFD or
// row 1,048,576.
class LectorXlsx : public LectorHoja
{
public:
    static constexpr qint64 kLimiteExpandido = 256 * 1024 * 1024;

    ~LectorXlsx() override;

    static std::unique_ptr<LectorXlsx> abrir(const QString &ruta, const QString &hoja, QString &error);
    // A workbook already in memory.
    static std::unique_ptr<LectorXlsx> abrirDatos(
        const QByteArray &datos, const QString &hoja, QString &error);

    bool siguiente(FilaHoja &fila) override;
    // From now on, with the sheet not yet read, reads it on `hilos` threads
    // at once in pieces of whole rows, handing out the same rows in the same
    // order: for reading a large sheet to its end. The sheet's XML and its
    // shared texts are expanded whole first. False (error() says why) when
    // the sheet turns out damaged before a row is handed out.
    // `tamanoTrozo` is the least a piece holds, in bytes of XML.
    bool leerEnParalelo(int hilos, qsizetype tamanoTrozo = 256 * 1024);
    qint64 leido() const override;
    qint64 total() const override;
    QStringList hojas() const override { return m_nombres; }
    QString hoja() const override { return m_hoja; }

    // The text a day number shows in a cell formatted as a date: dd/mm/yyyy,
    // counted from 1900 (day 60 being the 29/02/1900 that spreadsheets
    // count though it never was) or from 1904; empty when the number is no
    // day a sheet can show.
    static QString fechaDeSerie(double serie, bool desde1904);

private:
    struct Zip;
    struct Paralelo;
    LectorXlsx();
    // The reader on its open zip, ready at the first row of `hoja`; null,
    // with the reason in `error`, when the zip did not open or is no
    // workbook.
    static std::unique_ptr<LectorXlsx> preparado(
        std::unique_ptr<LectorXlsx> lector, const QString &hoja, QString &error);
    bool preparar(const QString &hoja);
    // The part `nombre`, whole; fails when the zip lacks it or it is damaged.
    bool leerParte(const QString &nombre, QByteArray &datos, bool obligatoria);
    std::unique_ptr<EntradaZip> abrirParte(const QString &nombre);
    // Calls `alElemento` at every start and end of an element of the part
    // `nombre`; a part the zip lacks has none, unless it is `obligatoria`.
    bool recorrerParte(
        const QString &nombre, bool obligatoria, const std::function<void(QXmlStreamReader &)> &alElemento);
    bool leerRelaciones(
        const QString &parte, QHash<QString, QString> &destinos, QHash<QString, QString> *tipos);
    bool leerEstilos(const QString &nombre);
    // The shared text `indice`, its part read on as far as it. On the
    // threads of a parallel reading every text is already read, and this
    // only looks.
    bool textoCompartido(qint64 indice, QString &texto, QString &error);
    // The row, or the cell, the XML reader has just met; false when it is
    // beyond a sheet's bounds (`error` says so) or the XML is broken. They
    // change nothing of the reader's own, so threads can share them.
    bool leerFila(QXmlStreamReader &xml, FilaHoja &fila, QString &error);
    bool leerCelda(QXmlStreamReader &xml, FilaHoja &fila, int &columna, QString &error);
    QString filaFuera(const QString &fila) const;
    // Gives a row without a number the one after the row before.
    bool numerar(FilaHoja &fila);
    void leerTrozos(Paralelo &p);
    bool siguienteEnParalelo(FilaHoja &fila);
    bool fallar(const QString &mensaje);
    QString errorXml(const QXmlStreamReader &xml, const QString &parte) const;
    bool fallarXml(const QXmlStreamReader &xml, const QString &parte);

    std::unique_ptr<Zip> m_zip;
    QString m_archivo; // the file's name for messages
    qint64 m_expandido = 0; // bytes the parts opened so far expand to

    QStringList m_nombres;
    QString m_hoja;
    bool m_desde1904 = false;
    QList<bool> m_estiloFecha; // by cell style

    QString m_parteTextos;
    std::unique_ptr<EntradaZip> m_entradaTextos;
    QXmlStreamReader m_xmlTextos;
    QStringList m_textos;
    bool m_textosCompletos = false;
    QString m_errorTextos; // why the texts past the last one read cannot be read

    QString m_parteHoja;
    std::unique_ptr<EntradaZip> m_entradaHoja;
    QXmlStreamReader m_xml;
    std::unique_ptr<QBuffer> m_hojaEnMemoria; // the sheet read whole, when it could not be cut
    qint64 m_ultimaFila = 0;
    // Where the reading stands: before the sheet's data, in it, past it.
    enum class Datos { Antes, Dentro, Leidos };
    Datos m_datos = Datos::Antes;
    std::unique_ptr<Paralelo> m_paralelo;
};

} // namespace kv
