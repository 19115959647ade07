// A report line: the fields a report declares (in declaration order), their
// texts, and the search keys that integrated reports use to read further
// fields of other modules for the line. Subclasses declare their fields in
// their constructor and say which fields belong to the master block and how
// the others group into tables.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include <zenta/WinTypes.h>

#include "standins/relatorio/QVCampoRelatorio.h"

namespace zenta {

// A search key: the kind of record (the report's own numbering) and its
// read pointer; pointer 0 means "none on this line".
struct CQVChavePesquisaRelatorio {
    LONG lTipo = 0;
    ULONG lPonteiro = 0;
};

class CQVLinhaRelatorioBase {
public:
    CQVLinhaRelatorioBase() = default;
    virtual ~CQVLinhaRelatorioBase() = default;
    CQVLinhaRelatorioBase(const CQVLinhaRelatorioBase&) = default;
    CQVLinhaRelatorioBase& operator=(const CQVLinhaRelatorioBase&) = default;

    std::vector<CQVCampoRelatorio>& GetCampos() { return m_campos; }
    const std::vector<CQVCampoRelatorio>& GetCampos() const { return m_campos; }
    CQVCampoRelatorio* AchaCampo(LONG lCodigo);
    const CQVCampoRelatorio* AchaCampo(LONG lCodigo) const;

    // Sets the text of a field (UTF-8). A code the line does not declare is
    // kept apart and never shown: it is the report's own bookkeeping.
    void SetValor(LONG lCodigo, std::string_view valor);
    // The text of a declared or kept code; "" when it has none.
    const std::string& GetValor(LONG lCodigo) const;

    // Every text and search key of `origem` (a line of the same report).
    void CopiarCampos(const CQVLinhaRelatorioBase& origem);
    // The texts of the master line's master fields only: a new row under a
    // master line starts this way.
    void CopiarCamposLinhaMestre(const CQVLinhaRelatorioBase& mestre);
    void LimparCampos();

    // Adds a search key, or replaces the pointer of the key of that kind.
    void AdicionaChavePesquisa(LONG lTipo, ULONG lPonteiro);
    // The read pointer of the key of a kind (added when missing): 0 makes the
    // integrated fields of that kind print nothing on this line.
    void SetPonteiroLeituraRelatorioIntegrado(LONG lTipo, ULONG lPonteiro) { AdicionaChavePesquisa(lTipo, lPonteiro); }
    const std::vector<CQVChavePesquisaRelatorio>& GetChavesPesquisa() const { return m_chaves; }
    bool TemChavePesquisa(LONG lTipo) const;

    // Whether the line opens a block (the master line of a plan or order).
    bool GetLinhaMestre() const { return m_bLinhaMestre; }
    void SetLinhaMestre(bool bMestre) { m_bLinhaMestre = bMestre; }

    // Layout hints for the generator, overridden by the report's line.
    virtual bool EhCampoMestre(LONG /*lCodigo*/) const { return false; }
    // A master field that heads the record's block (what tells records apart).
    virtual bool EhCampoCabecalho(LONG /*lCodigo*/) const { return false; }
    virtual int GrupoDoCampo(LONG lCodigo) const { return static_cast<int>(lCodigo / 100); }
    virtual std::string TituloGrupo(int /*iGrupo*/) const { return {}; }

protected:
    void DeclaraCampo(const CQVCampoRelatorio& campo) { m_campos.push_back(campo); }

private:
    std::vector<CQVCampoRelatorio> m_campos;
    std::map<LONG, std::string> m_extras;  // codes the line does not declare
    std::vector<CQVChavePesquisaRelatorio> m_chaves;
    bool m_bLinhaMestre = false;
};

}  // namespace zenta
