#include "tools/zentactl/Opcoes.h"

namespace zenta::ctl {

void AdicionaOpcoesIdentificacao(CLI::App& comando, FiltroIdentificacao& f) {
    comando.add_option("--equipamento", f.equipamento, "Equipment code");
    comando.add_option("--marca", f.marca, "Brand code");
    comando.add_option("--modelo", f.modelo, "Model code");
    comando.add_option("--tipo", f.tipo, "Equipment type code");
    comando.add_option("--produto", f.produto, "Product code");
    comando.add_option("--grade1", f.grade1, "Grade item 1");
    comando.add_option("--grade2", f.grade2, "Grade item 2");
    comando.add_option("--grade3", f.grade3, "Grade item 3");
    comando.add_option("--serie", f.serie, "Serial number (any case)");
    comando.add_option("--codigos", f.codigos, "Equipment or product codes, e.g. 1,2,3")->delimiter(',');
    comando.add_option("--tipo-identificacao", f.tipoIdentificacao,
                       "0 products, 1 equipments, 2 both (default)")
        ->check(CLI::Range(0u, 2u));
}

}  // namespace zenta::ctl
