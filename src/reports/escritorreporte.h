#pragma once

#include "impresora.h"

#include <QFile>
#include <QString>

namespace kv {

// A page-description file being written: Windows-1252 text, one record per
// line, CR LF at the end of each. Opening truncates; the report writer opens
// it before the first record and closes it after the last. A failed write is
// remembered and reported by cerrar(), so a report half written to a full
// disk is not taken for a good one.
class EscritorReporte
{
public:
    EscritorReporte() = default;
    ~EscritorReporte();
    EscritorReporte(const EscritorReporte &) = delete;
    EscritorReporte &operator=(const EscritorReporte &) = delete;

    bool abrir(const QString &ruta);
    bool abierto() const { return m_archivo.isOpen(); }
    // False when anything failed since abrir().
    bool cerrar();
    QString error() const { return m_error; }
    QString ruta() const { return m_archivo.fileName(); }

    // One line as given (no field rules applied). Lines are gathered and
    // written to the file a large block at a time; a write that fails is
    // reported here or by cerrar().
    bool escribirLinea(QStringView linea);
    // A text record and a rectangle record (pImpTexto, pImpCuadro), put
    // together in the block without a line of their own first: a report of
    // 100,000 flights writes 100,000 of them.
    bool escribirTexto(int x, int y, QStringView texto, bool negrita, int tamano, int hoja);
    bool escribirCuadro(int x1, int y1, int x2, int y2, int hoja);

    // The header records, each a tag, its value and the closing tag.
    bool escribirFuente(const QString &nombre = QStringLiteral("Courier New"));
    bool escribirNumeroHojas(int hojas);
    bool escribirOrientacion(Orientacion orientacion);
    // An OLE colour: 0x00BBGGRR, or 0x80000000 plus a system colour index.
    bool escribirColor(quint32 colorOle);

private:
    bool abiertoParaEscribir();
    bool terminarRegistro();
    bool volcar();

    QFile m_archivo;
    QString m_error;
    QByteArray m_bloque; // Windows-1252 bytes not yet written
};

// The two line writers every report of the module uses.
//
// pImpLinea: the text "pNuevaHoja" writes a page break; a text that is a
// header record ("<!" tag "!>" ...) is written alone on its line; anything
// else is a text record at (x, y) with its weight, size in points and page.
// A "|" inside the text would split the record when it is read back, so it
// is written as "¦"; a line end inside the text becomes a blank.
void pImpLinea(int x, int y, const QString &texto, bool negrita, int tamano, int hoja, EscritorReporte &archivo);

// A text record whatever the text holds: for data texts (a line of a file
// the user supplied) that must never be taken for a header record or a page
// break.
void pImpTexto(int x, int y, const QString &texto, bool negrita, int tamano, int hoja, EscritorReporte &archivo);

// pImpCuadro: the outline of the rectangle (x1, y1)-(x2, y2) on the page; with
// y1 = y2 a horizontal line, with x1 = x2 a vertical one.
void pImpCuadro(int x1, int y1, int x2, int y2, int hoja, EscritorReporte &archivo);

// The text field of a text record as the writers store it.
QString textoParaRegistro(const QString &texto);

} // namespace kv
