// The file-creation control list ("QVDATABASE_FILE_CTRL.dat") is read by
// every writer of a company's directory: whatever it holds, reading it, and
// changing it (a name added, a name taken out) must never crash, and a
// change must leave a list that reads again with the change made.
#include <algorithm>
#include <vector>

#include "access/QVInicializador.h"
#include "platform/QVModulos.h"
#include "core/qvdatabase/QVDataBaseControleCriacaoArquivos.h"
#include "core/qvdatabase/QVDataBaseDefs.h"
#include "fuzz/AmbienteFuzz.h"

using namespace zenta;

namespace {

using zenta::fuzz::Exige;

bool Tem(const std::vector<std::string>& lista, const std::string& nome) {
    return std::find(lista.begin(), lista.end(), nome) != lista.end();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dados, size_t tamanho) {
    const auto dir = zenta::fuzz::DiretorioLimpo();
    zenta::fuzz::EscreveArquivo(dir / std::string(QVDATABASE_NOME_ARQUIVO_CONTROLE),
                                std::string_view(reinterpret_cast<const char*>(dados), tamanho));
    CQVInicializador contexto;
    if (FAILED(contexto.Inicializa("EMP", 1, 1))) return 0;

    std::vector<std::string> antes;
    if (FAILED(CQVDataBaseControleCriacaoArquivos::LeLista(contexto, QV_MODULO_GE, antes))) return 0;

    // A name added is there afterwards, and nothing listed before is lost.
    CQVDataBaseControleCriacaoArquivos controle(QV_MODULO_GE, "GEFUZZNOVO.dat");
    if (FAILED(controle.Inicializa(contexto))) return 0;
    if (SUCCEEDED(controle.CriaControleCriacaoArquivos())) {
        std::vector<std::string> depois;
        Exige(SUCCEEDED(CQVDataBaseControleCriacaoArquivos::LeLista(contexto, QV_MODULO_GE, depois)));
        Exige(Tem(depois, controle.GetNomeArquivo()));
        for (const auto& nome : antes) Exige(Tem(depois, nome));
        // Taken out again, it is gone.
        if (SUCCEEDED(controle.RemoveControleCriacaoArquivos())) {
            Exige(SUCCEEDED(CQVDataBaseControleCriacaoArquivos::LeLista(contexto, QV_MODULO_GE, depois)));
            Exige(!Tem(depois, controle.GetNomeArquivo()));
        }
    }
    controle.Finaliza();
    return 0;
}
