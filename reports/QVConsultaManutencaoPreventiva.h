// What the maintenance reports read from the service: its session and its
// plan and order queries. The logic object implements it; the reports,
// which the logic runs, know it only through this interface.
#pragma once

#include <zenta/QVGE_ManutencaoPreventivaRecords.h>

#include "access/QVInicializador.h"

namespace zenta {

class IQVConsultaManutencaoPreventiva {
public:
    // The session the reports work for.
    virtual const CQVInicializador& GetSessaoConsulta() const = 0;
    virtual _REG_CADASTRO_PROPRIEDADES_PS GetPropriedades() const = 0;
    virtual HRESULT BuscaPonteiros(const _REG_FILTRO_CADASTRO_MANUTENCAO_PS& regFiltro,
                                   _REG_LISTA_PTRS_CADASTRO_PS* pregPonteiros) = 0;
    virtual HRESULT BuscaRegistros(const _REG_LISTA_PTRS_CADASTRO_PS& regPonteiros,
                                   _REG_LISTA_CADASTRO_MANUTENCAO_PREVENTIVA_PS* pRegListaRegistros) = 0;
    virtual HRESULT BuscaPonteirosMovimentacao(const _REG_MOVIMENTACAO_FILTRO_PS& regFiltro,
                                               _REG_LISTA_PONTEIROS_DATA_PS* pregPonteiros) = 0;
    virtual HRESULT BuscaRegistrosMovimentacao(const _REG_LISTA_PONTEIROS_DATA_PS& regPonteiros,
                                               _REG_LISTA_MOVIMENTACAO_MANUT_PREV_PS* pRegListaRegistros) = 0;

protected:
    ~IQVConsultaManutencaoPreventiva() = default;
};

}  // namespace zenta
