#include "opciones.h"

#include <cctype>
#include <cstdlib>

namespace aq::sim {

namespace {

const char* const kClaves[] = {"U", "V", "L", "AAA", "RRR", "F", "H", "I", "DDD", "BBB"};

bool Clave_Valida(const std::string& c) {
    for (const char* k : kClaves)
        if (c == k) return true;
    return false;
}

bool Entero(const std::string& t, long minimo, long maximo, long& v) {
    if (t.empty()) return false;
    char* fin = nullptr;
    v = std::strtol(t.c_str(), &fin, 10);
    return *fin == '\0' && v >= minimo && v <= maximo;
}

bool Dos_Digitos(const std::string& t, size_t i) {
    return i + 1 < t.size() && std::isdigit(static_cast<unsigned char>(t[i])) &&
           std::isdigit(static_cast<unsigned char>(t[i + 1]));
}

}  // namespace

std::string Clave_Comando(const std::string& comando) {
    std::string c;
    for (char ch : comando) c += static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    if (c.empty()) return c;
    if (c.find_first_not_of('U') == std::string::npos) return "U";
    if (c.size() > 1 && (c[0] == 'F' || c[0] == 'H' || c[0] == 'I')) return c.substr(0, 1);
    return c;
}

bool Analizar_Opciones(int argc, const char* const* argv, Opciones_Simulador& o,
                       std::string& error) {
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto valor = [&](std::string& v) {
            if (i + 1 >= argc) {
                error = "falta el valor de " + a;
                return false;
            }
            v = argv[++i];
            return true;
        };
        auto entero = [&](long minimo, long maximo, long& v) {
            std::string t;
            if (!valor(t)) return false;
            if (!Entero(t, minimo, maximo, v)) {
                error = "valor inválido para " + a + ": " + t;
                return false;
            }
            return true;
        };
        auto clave = [&](std::string& c) {
            if (!valor(c)) return false;
            c = Clave_Comando(c);
            if (!Clave_Valida(c)) {
                error = "comando desconocido para " + a + ": " + c;
                return false;
            }
            return true;
        };
        long n = 0;
        std::string t;
        if (a == "--help" || a == "-h" || a == "--ayuda") {
            o.ayuda = true;
        } else if (a == "--registro") {
            o.registro = true;
        } else if (a == "--vacia") {
            o.vacia = true;
        } else if (a == "--rapido") {
            o.rapido = true;
        } else if (a == "--byte-a-byte") {
            o.byte_a_byte = true;
        } else if (a == "--detalle") {
            o.detalle = true;
        } else if (a == "--mudo") {
            o.mudo = true;
        } else if (a == "--dump-largo") {
            o.dump_largo = true;
        } else if (a == "--memoria") {
            if (!valor(o.memoria)) return false;
        } else if (a == "--enlace") {
            if (!valor(o.enlace)) return false;
        } else if (a == "--version") {
            if (!valor(o.version)) return false;
        } else if (a == "--equipo") {
            if (!entero(0, 255, n)) return false;
            o.equipo = static_cast<int>(n);
        } else if (a == "--alcance") {
            if (!valor(t)) return false;
            if (t == "4" || t == "04") {
                o.alcance = 0;
            } else if (t == "8" || t == "08") {
                o.alcance = 1;
            } else if (t == "20") {
                o.alcance = 2;
            } else {
                error = "alcance inválido (4, 8 o 20): " + t;
                return false;
            }
        } else if (a == "--intervalo") {
            if (!entero(0, 6, n)) return false;
            o.intervalo = static_cast<int>(n);
        } else if (a == "--fecha") {
            if (!valor(o.fecha)) return false;
            if (o.fecha.size() != 8 || !Dos_Digitos(o.fecha, 0) || o.fecha[2] != '/' ||
                !Dos_Digitos(o.fecha, 3) || o.fecha[5] != '/' || !Dos_Digitos(o.fecha, 6)) {
                error = "fecha inválida (dd/mm/aa): " + o.fecha;
                return false;
            }
        } else if (a == "--hora") {
            if (!valor(o.hora)) return false;
            if (o.hora.size() != 5 || !Dos_Digitos(o.hora, 0) || o.hora[2] != ':' ||
                !Dos_Digitos(o.hora, 3)) {
                error = "hora inválida (hh:mm): " + o.hora;
                return false;
            }
        } else if (a == "--acelerar") {
            if (!valor(t)) return false;
            char* fin = nullptr;
            o.acelerar = std::strtod(t.c_str(), &fin);
            if (*fin != '\0' || !(o.acelerar > 0) || o.acelerar > 1e6) {
                error = "factor inválido para --acelerar: " + t;
                return false;
            }
        } else if (a == "--semilla") {
            if (!entero(0, 0x7FFFFFFF, n)) return false;
            o.semilla = static_cast<unsigned>(n);
        } else if (a == "--mudo-a") {
            if (!clave(t)) return false;
            o.mudo_a.insert(t);
        } else if (a == "--mudo-tras") {
            if (!clave(t)) return false;
            o.mudo_tras.insert(t);
        } else if (a == "--extra") {
            if (!clave(t)) return false;
            o.extra.insert(t);
        } else if (a == "--checksum-malo") {
            if (!entero(0, 1000000, n)) return false;
            o.checksum_malo = static_cast<int>(n);
        } else if (a == "--responder") {
            if (!valor(t)) return false;
            const size_t igual = t.find('=');
            const std::string c = Clave_Comando(t.substr(0, igual));
            if (igual == std::string::npos || !Clave_Valida(c)) {
                error = "--responder espera COMANDO=RESPUESTA: " + t;
                return false;
            }
            o.responder[c] = t.substr(igual + 1);
        } else if (a == "--corte") {
            if (!entero(0, 1000000, n)) return false;
            o.corte = n;
        } else if (a == "--ruido") {
            if (!entero(0, 100000, n)) return false;
            o.ruido = static_cast<int>(n);
        } else if (a == "--cerrar-en") {
            if (!entero(0, 1000000, n)) return false;
            o.cerrar_en = n;
        } else if (a == "--cerrar-tras") {
            if (!clave(t)) return false;
            o.cerrar_tras.insert(t);
        } else {
            error = "opción desconocida: " + a;
            return false;
        }
    }
    return true;
}

std::string Texto_Ayuda() {
    return R"(Uso: aqtide-sim [opciones]

Simula el limnígrafo-freatígrafo AQ-TIDE 1.0 en una pseudo-terminal. La primera
línea de la salida estándar es la ruta del dispositivo esclavo, que se abre como
un puerto serie. Termina con SIGINT o SIGTERM.

Estado inicial:
  --vacia                 memoria vacía (por omisión: tres bloques de ejemplo)
  --memoria ARCHIVO       carga un respaldo crudo (primeras 4096 líneas "XXXX ")
  --registro              arranca en Modo REGISTRO (abre un bloque nuevo)
  --equipo N              número de equipo, 0 a 255 (por omisión 1)
  --alcance 4|8|20        alcance en metros (por omisión 4)
  --intervalo 0-6         código de intervalo: 5, 10, 15, 30 min, 1, 2, 4 h (por omisión 2)
  --fecha dd/mm/aa        fecha del equipo (por omisión la de la PC)
  --hora hh:mm            hora del equipo (por omisión la de la PC)
  --acelerar N            el reloj del equipo corre N veces más rápido

Línea:
  --enlace RUTA           crea un enlace simbólico RUTA al esclavo (se borra al salir)
  --rapido                sin demoras: ni 9600 baudios, ni proceso, ni borrado
  --byte-a-byte           entrega cada carácter por separado (UART sin FIFO)
  --detalle               informa comandos y respuestas por la salida de errores
  --semilla N             semilla del ruido

Fallas (COMANDO: U, V, L, AAA, RRR, F, H, I, DDD, BBB; las opciones se repiten):
  --mudo                  no responde a nada
  --mudo-a COMANDO        no responde (ni ejecuta) ese comando
  --mudo-tras COMANDO     responde ese comando y luego nada más
  --version TEXTO         identidad del firmware (por omisión "AQ-TIDE 1.0")
  --checksum-malo N       checksum erróneo en las primeras N respuestas a "L"
  --responder CMD=RESP    responde RESP + CR LF a ese comando, sin ejecutarlo
  --extra COMANDO         agrega un carácter "#" tras la respuesta a ese comando
  --corte N               el volcado "DDD" se corta tras N caracteres
  --dump-largo            el volcado lleva un carácter "#" de más
  --ruido N               N bytes al azar delante de la primera respuesta
  --cerrar-en N           cierra la línea y termina tras N caracteres del volcado
  --cerrar-tras COMANDO   cierra la línea y termina al recibir ese comando, sin responder

  --help                  muestra esta ayuda

Ejemplos:
  aqtide-sim --enlace /tmp/ttyAQ &
  aqtide-sim --rapido --vacia --registro --acelerar 600
  aqtide-sim --responder RRR=MI --checksum-malo 2
)";
}

}  // namespace aq::sim
