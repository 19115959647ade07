#include "tools/zentactl/DadosDemo.h"

namespace zenta::ctl::demo {

const std::string_view kCadastrosErp = R"json({
  "filial": [
    {"codigo": 1, "nome": "Matriz São Paulo"},
    {"codigo": 2, "nome": "Filial Campinas"},
    {"codigo": 3, "nome": "Filial Santos"}
  ],
  "usuario": [
    {"codigo": 1, "nome": "Administrador", "email": "admin@demo.example"},
    {"codigo": 7, "nome": "Carlos Mecânico", "email": "carlos@demo.example"},
    {"codigo": 8, "nome": "Ana Eletricista", "email": "ana@demo.example"}
  ],
  "municipio": [
    {"codigo": 3550308, "nome": "São Paulo", "uf": "SP"},
    {"codigo": 3509502, "nome": "Campinas", "uf": "SP"},
    {"codigo": 3548500, "nome": "Santos", "uf": "SP"}
  ],
  "cliente": [
    {"codigo": 101, "nome": "Metalúrgica Boa Vista Ltda", "municipio": 3509502,
     "endereco": "Rua das Indústrias, 1500", "email": "manutencao@boavista.example"},
    {"codigo": 102, "nome": "Padaria Pão Quente", "municipio": 3548500,
     "endereco": "Av. Ana Costa, 410", "email": "contato@paoquente.example"}
  ],
  "marca": [
    {"codigo": 1, "nome": "Atlas Máquinas"},
    {"codigo": 2, "nome": "Ferraz Compressores"},
    {"codigo": 3, "nome": "Carga Forte"}
  ],
  "modelo": [
    {"codigo": 10, "nome": "TX-500", "marca": 1},
    {"codigo": 11, "nome": "CP-20", "marca": 2},
    {"codigo": 12, "nome": "E-25", "marca": 3}
  ],
  "tipo_equipamento": [
    {"codigo": 1, "nome": "Torno CNC"},
    {"codigo": 2, "nome": "Compressor de ar"},
    {"codigo": 3, "nome": "Empilhadeira"}
  ],
  "equipamento": [
    {"codigo": 1001, "nome": "Torno CNC TX-500", "marca": 1, "modelo": 10, "tipo": 1, "nr_serie": "TX500-0042", "filial": 1},
    {"codigo": 1002, "nome": "Compressor CP-20", "marca": 2, "modelo": 11, "tipo": 2, "nr_serie": "CP20-7781", "filial": 2},
    {"codigo": 1003, "nome": "Empilhadeira E-25", "marca": 3, "modelo": 12, "tipo": 3, "nr_serie": "E25-0310", "filial": 3}
  ],
  "unidade_medida": [
    {"codigo": 1, "sigla": "h", "nome": "Hora", "casas_decimais": 1},
    {"codigo": 2, "sigla": "UN", "nome": "Unidade", "casas_decimais": 0},
    {"codigo": 3, "sigla": "L", "nome": "Litro", "casas_decimais": 2},
    {"codigo": 4, "sigla": "km", "nome": "Quilômetro", "casas_decimais": 0}
  ],
  "produto": [
    {"codigo": 501, "nome": "Óleo hidráulico ISO 68", "unidade": 3},
    {"codigo": 502, "nome": "Filtro de ar", "unidade": 2},
    {"codigo": 503, "nome": "Correia dentada", "unidade": 2},
    {"codigo": 504, "nome": "Bomba d'água residencial", "unidade": 2}
  ],
  "item_grade": [
    {"codigo": 1, "nome": "110 V"},
    {"codigo": 2, "nome": "220 V"}
  ],
  "servico": [
    {"codigo": 1, "nome": "Revisão trimestral", "unidade": 1},
    {"codigo": 2, "nome": "Troca de óleo", "unidade": 1},
    {"codigo": 3, "nome": "Inspeção elétrica", "unidade": 1},
    {"codigo": 4, "nome": "Revisão anual da bomba", "unidade": 1}
  ],
  "equipamento_cadastro": [
    {"codigo": 1001, "nome": "Torno CNC TX-500 da linha de usinagem", "referencia": "TOR-001"},
    {"codigo": 1002, "nome": "Compressor de ar CP-20 do galpão 2", "referencia": "CMP-002"},
    {"codigo": 1003, "nome": "Empilhadeira elétrica E-25", "referencia": "EMP-003"}
  ],
  "cliente_comercial": [
    {"codigo": 101, "nome": "Metalúrgica Boa Vista Ltda", "nome_curto": "BOAVISTA"},
    {"codigo": 102, "nome": "Padaria Pão Quente ME", "nome_curto": "PAOQUENTE"}
  ],
  "local_estoque": [
    {"codigo": 1, "nome": "Almoxarifado central", "filial": 1},
    {"codigo": 2, "nome": "Depósito de peças", "filial": 2}
  ]
})json";

const std::string_view kPropriedades = R"json({
  "cAvisarDataProximaManutencaoComAntecedencia": 1,
  "cAvisarPorEmail": 1,
  "cAvisarComTelaAviso": 0,
  "lQtdDiasAviso": 10,
  "szNomeCampoDinamico1": "Chassi",
  "szNomeCampoDinamico2": "Setor",
  "szNomeCampoDinamico3": "Responsável"
})json";

namespace {

// Lathe: a time maintenance every 3 months and a meter maintenance every
// 500 hours, with services and products taken from stock places.
constexpr std::string_view kPlanoTorno = R"json({
  "idEquipamentoPS": {
    "regMedidorAtual": {"vQuantidadeInicial": "1200", "vQuantidadeAtual": "1200", "lPonteiroUnMedida": 1,
                        "cTipoUnidadeMedida": 1},
    "lFilial": 1, "lEquipamento": 1001, "lMarca": 1, "lModelo": 10, "lTipo": 1, "lSituacao": 1,
    "szNrSerie": "TX500-0042", "szNrPatrimonial": "PAT-00871", "szCapacidade": "500 mm",
    "szAnoFabricacao": "2019", "szFabricante": "Atlas Máquinas",
    "szCampoDinamico1": "CH-99812", "szCampoDinamico2": "Usinagem", "szCampoDinamico3": "Carlos"
  },
  "listaManutencoes": {"pManutencoes": [
    {
      "frequenciaPS": {"lTipoFrequencia": 2, "lTipoFrequenciaTempo": 3, "lFrequenciaTempo": 3,
                       "lQtdCasasDecimaisMedicao": 1, "dataInicial": "2026-01-05", "horaDuracao": "4",
                       "szParadaManutencao": "Parada de 4 horas",
                       "szObservacao": "Verificar folgas do barramento e lubrificação."},
      "szNomeManutencao": "Revisão trimestral", "lServicoCadastro": 1, "lTecnico": 7,
      "listaServicos": {"pServicos": [{"lServico": 1, "lTecnico": 7, "vQuantidadePrevista": "4"}]},
      "listaProdutos": {"pProdutos": [
        {"lProduto": 502, "lTecnico": 7, "vQuantidadePrevista": "1",
         "listaLocal": {"pLocaisEstoque": [{"lPonteiroLocal": 1, "vQuantidadeEs": "1"}]}}
      ]}
    },
    {
      "frequenciaPS": {"lTipoFrequencia": 3, "lQtdCasasDecimaisMedicao": 1, "dataInicial": "2026-01-05",
                       "vMedicaoInicial": "1200", "vFrequenciaMedicao": "500", "horaDuracao": "1.5",
                       "szParadaManutencao": "Parada de 1 hora e meia"},
      "szNomeManutencao": "Troca de óleo a cada 500 h", "lServicoCadastro": 2, "lTecnico": 8,
      "listaServicos": {"pServicos": [{"lServico": 2, "lTecnico": 8, "vQuantidadePrevista": "1.5"}]},
      "listaProdutos": {"pProdutos": [
        {"lProduto": 501, "lTecnico": 8, "vQuantidadePrevista": "12.5",
         "listaLocal": {"pLocaisEstoque": [
           {"lPonteiroLocal": 1, "vQuantidadeEs": "10", "vPIUnitaria": "38.9"},
           {"lPonteiroLocal": 2, "lPonteiroLote": 77, "vQuantidadeEs": "2.5", "vPIUnitaria": "41.25"}
         ]}}
      ]}
    }
  ]},
  "listaClientes": {"pClientes": [
    {"lCliente": 101, "lMunicipio": 3509502, "szLocalFisico": "Galpão 2", "szEndereco": "Rua das Indústrias",
     "szNumero": "1500", "szBairro": "Distrito Industrial", "szCEP": "13050-000", "szContato": "Jorge",
     "dataInicial": "2026-01-01"}
  ]}
})json";

// Compressor: every 6 months or every 1,000 hours, whichever comes first.
constexpr std::string_view kPlanoCompressor = R"json({
  "idEquipamentoPS": {
    "regMedidorAtual": {"vQuantidadeInicial": "2000", "vQuantidadeAtual": "2000", "lPonteiroUnMedida": 1,
                        "cTipoUnidadeMedida": 1},
    "lFilial": 2, "lEquipamento": 1002, "lMarca": 2, "lModelo": 11, "lTipo": 2, "lSituacao": 1,
    "szNrSerie": "CP20-7781", "szAnoFabricacao": "2021", "szFabricante": "Ferraz Compressores",
    "szCampoDinamico2": "Utilidades"
  },
  "listaManutencoes": {"pManutencoes": [
    {
      "frequenciaPS": {"lTipoFrequencia": 1, "lTipoFrequenciaTempo": 3, "lFrequenciaTempo": 6,
                       "lQtdCasasDecimaisMedicao": 1, "dataInicial": "2026-02-01",
                       "vMedicaoInicial": "2000", "vFrequenciaMedicao": "1000", "horaDuracao": "2"},
      "szNomeManutencao": "Revisão semestral do compressor", "lServicoCadastro": 3, "lTecnico": 8,
      "listaServicos": {"pServicos": [{"lServico": 3, "lTecnico": 8, "vQuantidadePrevista": "2"}]},
      "listaProdutos": {"pProdutos": [
        {"lProduto": 502, "lTecnico": 8, "vQuantidadePrevista": "2",
         "listaLocal": {"pLocaisEstoque": [{"lPonteiroLocal": 2, "vQuantidadeEs": "2"}]}},
        {"lProduto": 503, "lTecnico": 8, "vQuantidadePrevista": "1",
         "listaLocal": {"pLocaisEstoque": [{"lPonteiroLocal": 2, "vQuantidadeEs": "1"}]}}
      ]}
    }
  ]},
  "listaClientes": {"pClientes": []}
})json";

// A product sold to a client, revised once a year.
constexpr std::string_view kPlanoBomba = R"json({
  "idEquipamentoPS": {
    "lFilial": 3, "lProduto": 504, "lGrade1": 2, "lSituacao": 1, "szNrSerie": "BA-2231-X",
    "szAnoFabricacao": "2025"
  },
  "listaManutencoes": {"pManutencoes": [
    {
      "frequenciaPS": {"lTipoFrequencia": 2, "lTipoFrequenciaTempo": 4, "lFrequenciaTempo": 1,
                       "dataInicial": "2026-03-10", "horaDuracao": "1"},
      "szNomeManutencao": "Revisão anual da bomba", "lServicoCadastro": 4, "lTecnico": 7,
      "listaServicos": {"pServicos": [{"lServico": 4, "lTecnico": 7, "vQuantidadePrevista": "1"}]}
    }
  ]},
  "listaClientes": {"pClientes": [
    {"lCliente": 102, "lMunicipio": 3548500, "szEndereco": "Av. Ana Costa", "szNumero": "410",
     "szBairro": "Gonzaga", "szCEP": "11060-002", "szContato": "Dona Marta",
     "dataInicial": "2026-03-10", "dataFinal": "2027-03-09"}
  ]}
})json";

// A forklift whose plan was set aside (inactive).
constexpr std::string_view kPlanoEmpilhadeira = R"json({
  "idEquipamentoPS": {
    "regMedidorAtual": {"vQuantidadeInicial": "3400", "vQuantidadeAtual": "3400", "lPonteiroUnMedida": 1,
                        "cTipoUnidadeMedida": 1},
    "lFilial": 3, "lEquipamento": 1003, "lMarca": 3, "lModelo": 12, "lTipo": 3, "lSituacao": 2,
    "szNrSerie": "E25-0310", "szAnoFabricacao": "2015"
  },
  "listaManutencoes": {"pManutencoes": [
    {
      "frequenciaPS": {"lTipoFrequencia": 2, "lTipoFrequenciaTempo": 1, "lFrequenciaTempo": 30,
                       "dataInicial": "2025-06-01"},
      "szNomeManutencao": "Inspeção mensal", "lTecnico": 7
    }
  ]},
  "listaClientes": {"pClientes": []}
})json";

constexpr std::string_view kPlanos[] = {kPlanoTorno, kPlanoCompressor, kPlanoBomba, kPlanoEmpilhadeira};

}  // namespace

std::span<const std::string_view> Planos() { return kPlanos; }

const std::string_view kMedicoes = R"json([
  {"plano": 0, "historico": true, "vQuantidadeMedicao": "1350.5", "lTecnico": 7},
  {"plano": 1, "historico": true, "vQuantidadeMedicao": "2180", "lTecnico": 8},
  {"plano": 0, "historico": true, "vQuantidadeMedicao": "1580", "lTecnico": 7},
  {"plano": 0, "historico": true, "vQuantidadeMedicao": "1722.4", "lTecnico": 8}
])json";

const std::string_view kMedidorNovo = R"json({
  "vQuantidadeInicial": "0", "vQuantidadeAtual": "0", "lPonteiroUnMedida": 1, "cTipoUnidadeMedida": 1
})json";

const std::string_view kOrdemAberta = R"json({
  "lSituacao": 0, "lCliente": 101, "lTecnico": 7, "dataPrevista": "2026-04-05",
  "horaDuracao": "4", "szParadaManutencao": "Parada de 4 horas",
  "listaServicos": {"pServicos": [{"lServico": 1, "lTecnico": 7, "vQuantidadePrevista": "4"}]},
  "listaProdutos": {"pProdutos": [
    {"lProduto": 502, "lTecnico": 7, "vQuantidadePrevista": "1",
     "listaLocal": {"pLocaisEstoque": [{"lPonteiroLocal": 1, "vQuantidadeEs": "1"}]}}
  ]}
})json";

const std::string_view kOrdemConcluida = R"json({
  "lSituacao": 1, "bGerarOS": 1, "lCliente": 101, "lTecnico": 8, "dataPrevista": "2026-03-20",
  "dataInicio": "2026-03-20", "horaInicio": 28800, "dataFim": "2026-03-20", "horaFim": 34200,
  "horaDuracao": "1.5", "vFrequenciaMedicao": "500", "vQuantidadeMedicao": "1722.4", "lQtdCasasDecimais": 1,
  "szParadaManutencao": "Parada de 1 hora e meia",
  "bsObservacao": "Óleo trocado, filtro limpo.",
  "listaServicos": {"pServicos": [{"lServico": 2, "lTecnico": 8, "vQuantidadePrevista": "1.5",
                                   "vQuantidadeUtilizada": "1.5"}]},
  "listaProdutos": {"pProdutos": [
    {"lProduto": 501, "lTecnico": 8, "vQuantidadePrevista": "12.5", "vQuantidadeUtilizada": "12",
     "listaLocal": {"pLocaisEstoque": [{"lPonteiroLocal": 1, "vQuantidadeEs": "12", "vPIUnitaria": "38.9"}]}}
  ]}
})json";

}  // namespace zenta::ctl::demo
