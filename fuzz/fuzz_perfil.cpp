// Profile files of any content: reading never fails the program, and a value written is the
// value read back, with the rest of the file kept.
#include <QFile>
#include <QRegularExpression>
#include <cstddef>
#include <cstdint>

#include "apoyo_fuzz.h"
#include "platform/perfil_ini.h"

using namespace aq;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t largo) {
    const QString ruta = Carpeta_Fuzz() + QStringLiteral("/win.ini");
    const QByteArray bytes = Bytes(datos, largo);
    AQ_ESCRIBIR_ENTRADA(ruta, bytes);
    Entero_De_Perfil(bytes);

    // Names from the file itself, so that what it holds gets asked for; as the program's own
    // names, without control characters or the file's punctuation.
    const QList<QByteArray> partes = bytes.split('\n');
    auto nombre = [&](int i, const char* defecto) {
        const QByteArray p = partes.value(i).trimmed();
        return p.isEmpty() ? QString::fromLatin1(defecto)
                           : QString::fromLatin1(p.left(20))
                                 .remove(QRegularExpression("[][=;#\\x00-\\x1f]"));
    };
    const QString seccion = nombre(0, "Puertos"), clave = nombre(1, "COM1");
    const QString otra_clave = clave + QStringLiteral("x");

    Perfil_Ini perfil(ruta);
    perfil.GetProfileInt(seccion, clave, 5);
    const QString otra = perfil.GetProfileString(seccion, otra_clave, QStringLiteral("-"));
    if (seccion.trimmed().isEmpty() || clave.trimmed().isEmpty() || seccion != seccion.trimmed() ||
        clave != clave.trimmed())
        return 0;
    if (perfil.WriteProfileString(seccion, clave, QStringLiteral("/dev/ttyS0"))) {
        AQ_AFIRMAR(perfil.GetProfileString(seccion, clave, QString()) ==
                   QStringLiteral("/dev/ttyS0"));
        AQ_AFIRMAR(perfil.GetProfileString(seccion, otra_clave, QStringLiteral("-")) == otra);
    }
    perfil.Borrar_Seccion(seccion);
    return 0;
}
