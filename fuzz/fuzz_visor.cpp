// Data files of any content through the viewer's check and its line splitting.
#include <QFile>
#include <cstddef>
#include <cstdint>

#include "apoyo_fuzz.h"
#include "maintenance/datos_visor.h"
#include "maintenance/modelo_lineas.h"

using namespace aq;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t largo) {
    const QString ruta = Carpeta_Fuzz() + QStringLiteral("/d.csv");
    const QByteArray bytes = Bytes(datos, largo);
    AQ_ESCRIBIR_ENTRADA(ruta, bytes);

    // The check stops at the first byte outside the table, and says where it is.
    const Revision_Contenido r = Revisar_Contenido(ruta);
    AQ_AFIRMAR(r.legible);
    const auto& permitido = Caracteres_Permitidos();
    qsizetype primero = -1;
    for (qsizetype i = 0; i < bytes.size() && primero < 0; ++i)
        if (!permitido[static_cast<unsigned char>(bytes[i])]) primero = i;
    AQ_AFIRMAR(r.valido == (primero < 0));
    if (primero >= 0) {
        const QByteArray antes = bytes.left(primero);
        AQ_AFIRMAR(r.byte == static_cast<unsigned char>(bytes[primero]));
        AQ_AFIRMAR(r.linea == antes.count('\n') + 1);
        AQ_AFIRMAR(r.columna == primero - (antes.lastIndexOf('\n') + 1) + 1);
    }

    // Lines hold no line ends; their text, ends put back, is the file (";" shown as a tab).
    Modelo_Lineas modelo;
    QString error;
    AQ_AFIRMAR(modelo.Cargar(ruta, &error));
    QString juntas;
    for (int i = 0; i < modelo.Cantidad(); ++i) {
        const QString linea = modelo.Linea(i);
        AQ_AFIRMAR(!linea.contains(QLatin1Char('\r')) && !linea.contains(QLatin1Char('\n')));
        AQ_AFIRMAR(!Expandir_Tabulaciones(linea).contains(QLatin1Char('\t')));
        juntas += linea;
    }
    QByteArray sin_fines = bytes;
    sin_fines.replace('\r', "").replace('\n', "").replace(';', '\t');
    AQ_AFIRMAR(juntas == QString::fromLatin1(sin_fines));
    AQ_AFIRMAR(modelo.Linea(-1).isEmpty() && modelo.Linea(modelo.Cantidad()).isEmpty());
    Modelo_Lineas en_memoria;
    en_memoria.Asignar(bytes);
    AQ_AFIRMAR(en_memoria.Cantidad() == modelo.Cantidad());
    return 0;
}
