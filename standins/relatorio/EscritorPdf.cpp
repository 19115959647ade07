// The PDF writer of the report generator, over libharu. Texts come in UTF-8
// and are written in Windows-1252 with the built-in Helvetica fonts under
// the "WinAnsiEncoding" encoder, so accented Portuguese letters show right.
#include <hpdf.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "standins/relatorio/DocumentoRelatorio.h"
#include "platform/CodePage.h"

namespace zenta {

namespace {

// A4 landscape, in points.
constexpr float kLarguraPagina = 841.89f;
constexpr float kAlturaPagina = 595.28f;
constexpr float kMargem = 32.0f;
constexpr float kTopoConteudo = kAlturaPagina - kMargem - 44.0f;  // below the page header
constexpr float kBaseConteudo = kMargem + 18.0f;                  // above the page footer
constexpr float kLarguraUtil = kLarguraPagina - 2 * kMargem;
constexpr float kCorpo = 8.0f;       // table text
constexpr float kCorpoMestre = 8.5f; // master block text
constexpr float kFolga = 2.5f;       // padding inside a cell

struct ErroHpdf {
    HPDF_STATUS status = 0;
    HPDF_STATUS detalhe = 0;
};

void TrataErro(HPDF_STATUS status, HPDF_STATUS detalhe, void* dados) {
    auto* erro = static_cast<ErroHpdf*>(dados);
    if (erro->status == 0) {
        erro->status = status;
        erro->detalhe = detalhe;
    }
}

struct LiberaPdf {
    void operator()(HPDF_Doc doc) const { HPDF_Free(doc); }
};

class Escritor {
public:
    explicit Escritor(const DocumentoRelatorio& documento) : m_doc(documento) {}

    HRESULT Escreve(const std::filesystem::path& arquivo) {
        m_pdf.reset(HPDF_New(TrataErro, &m_erro));
        if (!m_pdf) return E_OUTOFMEMORY;
        HPDF_SetCompressionMode(m_pdf.get(), HPDF_COMP_ALL);
        m_fonte = HPDF_GetFont(m_pdf.get(), "Helvetica", "WinAnsiEncoding");
        m_negrito = HPDF_GetFont(m_pdf.get(), "Helvetica-Bold", "WinAnsiEncoding");
        HPDF_SetInfoAttr(m_pdf.get(), HPDF_INFO_CREATOR, "zenta");
        if (Falhou()) return E_FAIL;

        NovaPagina();
        Grafico();
        if (m_doc.blocos.empty()) Texto(m_negrito, 10, kMargem, m_y - 12, Cp("Nenhum registro."));
        if (!m_doc.bSubordinadas) {
            TabelaPlana();
        } else {
            for (std::size_t b = 0; b < m_doc.blocos.size() && !Falhou(); ++b) Bloco(m_doc.blocos[b]);
        }
        Rodapes();
        if (Falhou()) return E_FAIL;
        const std::string caminho = arquivo.string();
        if (HPDF_SaveToFile(m_pdf.get(), caminho.c_str()) != HPDF_OK || Falhou())
            return HRESULT_FROM_WIN32(29u);  // ERROR_WRITE_FAULT
        return S_OK;
    }

private:
    bool Falhou() const { return m_erro.status != 0; }

    static std::string Cp(const std::string& utf8) { return Utf8ParaCp1252(utf8); }

    float Largura(HPDF_Font fonte, float tamanho, const std::string& cp) const {
        if (cp.empty()) return 0;
        const HPDF_TextWidth w =
            HPDF_Font_TextWidth(fonte, reinterpret_cast<const HPDF_BYTE*>(cp.data()), static_cast<HPDF_UINT>(cp.size()));
        return static_cast<float>(w.width) * tamanho / 1000.0f;
    }

    void Texto(HPDF_Font fonte, float tamanho, float x, float y, const std::string& cp) {
        if (cp.empty()) return;
        HPDF_Page_BeginText(m_pagina);
        HPDF_Page_SetFontAndSize(m_pagina, fonte, tamanho);
        HPDF_Page_TextOut(m_pagina, x, y, cp.c_str());
        HPDF_Page_EndText(m_pagina);
    }

    // The text cut into lines no wider than `largura`: at blanks where it
    // can, inside a word where a word alone is too wide.
    std::vector<std::string> Quebra(HPDF_Font fonte, float tamanho, const std::string& cp, float largura) const {
        std::vector<std::string> linhas;
        std::string atual;
        std::size_t i = 0;
        while (i < cp.size()) {
            std::size_t fim = cp.find(' ', i);
            if (fim == std::string::npos) fim = cp.size();
            std::string palavra = cp.substr(i, fim - i);
            i = fim + 1;
            for (char& c : palavra)
                if (static_cast<unsigned char>(c) < 0x20) c = ' ';
            const std::string tentativa = atual.empty() ? palavra : atual + " " + palavra;
            if (Largura(fonte, tamanho, tentativa) <= largura) {
                atual = tentativa;
                continue;
            }
            if (!atual.empty()) linhas.push_back(atual);
            atual.clear();
            // A word wider than the cell is cut where it fills a line.
            while (Largura(fonte, tamanho, palavra) > largura && palavra.size() > 1) {
                std::size_t n = 1;
                while (n < palavra.size() && Largura(fonte, tamanho, palavra.substr(0, n + 1)) <= largura) ++n;
                linhas.push_back(palavra.substr(0, n));
                palavra.erase(0, n);
            }
            atual = palavra;
        }
        if (!atual.empty() || linhas.empty()) linhas.push_back(atual);
        return linhas;
    }

    void NovaPagina() {
        m_pagina = HPDF_AddPage(m_pdf.get());
        HPDF_Page_SetWidth(m_pagina, kLarguraPagina);
        HPDF_Page_SetHeight(m_pagina, kAlturaPagina);
        m_paginas.push_back(m_pagina);
        const float topo = kAlturaPagina - kMargem;
        const std::string titulo = Cp(m_doc.sTitulo);
        Texto(m_negrito, 14, kMargem, topo - 14, titulo);
        const std::string empresa = Cp("Empresa: " + m_doc.sEmpresa);
        const std::string emissao = Cp("Emitido em " + m_doc.sEmissao);
        Texto(m_fonte, 9, kMargem, topo - 30, empresa);
        Texto(m_fonte, 9, kLarguraPagina - kMargem - Largura(m_fonte, 9, emissao), topo - 30, emissao);
        HPDF_Page_SetLineWidth(m_pagina, 0.8f);
        HPDF_Page_MoveTo(m_pagina, kMargem, topo - 36);
        HPDF_Page_LineTo(m_pagina, kLarguraPagina - kMargem, topo - 36);
        HPDF_Page_Stroke(m_pagina);
        m_y = kTopoConteudo;
        // A block that goes on from the page before is named again.
        if (!m_continuacao.empty()) {
            Retangulo(kMargem, m_y - 13, kLarguraUtil, 13, 0.92f);
            Texto(m_negrito, 8.5f, kMargem + 4, m_y - 9.5f, m_continuacao);
            m_y -= 18;
        }
    }

    // Makes room for `altura` points, on a new page when this one is full.
    // Returns true when a new page was started.
    bool Espaco(float altura) {
        if (m_y - altura >= kBaseConteudo || m_y >= kTopoConteudo) return false;
        NovaPagina();
        return true;
    }

    void Retangulo(float x, float y, float largura, float altura, float cinza) {
        HPDF_Page_SetGrayFill(m_pagina, cinza);
        HPDF_Page_Rectangle(m_pagina, x, y, largura, altura);
        HPDF_Page_Fill(m_pagina);
        HPDF_Page_SetGrayFill(m_pagina, 0);
    }

    // The master block of a line laid out before it is drawn: the heading
    // on the shaded bar, then the other fields with a value as
    // "Caption: value" in three columns.
    struct Mestre {
        std::string cabeca;  // Windows-1252
        struct Celula {
            std::vector<std::string> linhas;  // [0] is the caption
            float recuo = 0;
        };
        std::vector<std::vector<Celula>> fileiras;
        std::vector<std::size_t> maiores;  // text lines of each row of cells
        float altura = 0;
    };
    static constexpr float kAltLinhaMestre = kCorpoMestre + 2.5f;
    static constexpr int kPorLinha = 3;

    Mestre MontaMestre(const LinhaDocumento& linha) const {
        Mestre mestre;
        std::vector<std::size_t> colunas, cabecalho;
        for (std::size_t c = 0; c < m_doc.colunas.size(); ++c) {
            if (!m_doc.colunas[c].bMestre) continue;
            (m_doc.colunas[c].bCabecalho ? cabecalho : colunas).push_back(c);
        }
        // Without heading columns the first master field heads the block.
        if (cabecalho.empty() && !colunas.empty()) {
            cabecalho.push_back(colunas.front());
            colunas.erase(colunas.begin());
        }
        if (cabecalho.empty()) return mestre;
        std::string cabeca;
        for (const std::size_t c : cabecalho) {
            if (Valor(linha, c).empty() && cabecalho.size() > 1) continue;
            if (!cabeca.empty()) cabeca += "   \u00B7   ";
            cabeca += RotuloColuna(m_doc.colunas[c]) + ": " + Valor(linha, c);
        }
        mestre.cabeca = Cp(cabeca);
        mestre.altura = 20;
        // Fields without a value are left out: the block shows what the record has.
        std::vector<std::size_t> comValor;
        for (const std::size_t c : colunas)
            if (!Valor(linha, c).empty()) comValor.push_back(c);
        const float largura = kLarguraUtil / kPorLinha;
        for (std::size_t i = 0; i < comValor.size(); i += kPorLinha) {
            std::vector<Mestre::Celula> fileira;
            std::size_t maior = 1;
            for (std::size_t k = i; k < std::min(comValor.size(), i + kPorLinha); ++k) {
                Mestre::Celula celula;
                const std::string rotulo = Cp(RotuloColuna(m_doc.colunas[comValor[k]]) + ": ");
                celula.recuo = std::min(Largura(m_negrito, kCorpoMestre, rotulo), largura * 0.5f);
                celula.linhas =
                    Quebra(m_fonte, kCorpoMestre, Cp(Valor(linha, comValor[k])), largura - celula.recuo - 8);
                celula.linhas.insert(celula.linhas.begin(), rotulo);
                maior = std::max(maior, celula.linhas.size() - 1);
                fileira.push_back(std::move(celula));
            }
            mestre.fileiras.push_back(std::move(fileira));
            mestre.maiores.push_back(maior);
            mestre.altura += static_cast<float>(maior) * kAltLinhaMestre + 2;
        }
        mestre.altura += 4;
        return mestre;
    }

    void DesenhaMestre(const Mestre& mestre) {
        if (mestre.cabeca.empty()) return;
        Espaco(18 + 3 * kAltLinhaMestre);
        Retangulo(kMargem, m_y - 16, kLarguraUtil, 16, 0.85f);
        Texto(m_negrito, 10, kMargem + 4, m_y - 12, mestre.cabeca);
        m_y -= 20;
        m_continuacao = mestre.cabeca + Cp(" (continuação)");
        const float largura = kLarguraUtil / kPorLinha;
        for (std::size_t f = 0; f < mestre.fileiras.size(); ++f) {
            const std::size_t maior = mestre.maiores[f];
            Espaco(static_cast<float>(maior) * kAltLinhaMestre + 2);
            const auto& celulas = mestre.fileiras[f];
            for (std::size_t k = 0; k < celulas.size(); ++k) {
                const float x = kMargem + static_cast<float>(k) * largura;
                Texto(m_negrito, kCorpoMestre, x + 4, m_y - kCorpoMestre, celulas[k].linhas[0]);
                for (std::size_t l = 1; l < celulas[k].linhas.size(); ++l)
                    Texto(m_fonte, kCorpoMestre, x + 4 + celulas[k].recuo,
                          m_y - kCorpoMestre - static_cast<float>(l - 1) * kAltLinhaMestre, celulas[k].linhas[l]);
            }
            m_y -= static_cast<float>(maior) * kAltLinhaMestre + 2;
        }
        m_y -= 4;
    }

    static const std::string& Valor(const LinhaDocumento& linha, std::size_t coluna) {
        static const std::string vazio;
        return coluna < linha.valores.size() ? linha.valores[coluna] : vazio;
    }

    // A table laid out: its columns' widths and the header's wrapped captions.
    struct Layout {
        std::string titulo;
        std::vector<std::size_t> colunas;
        std::vector<float> largura;
        float total = 0;
        std::vector<std::vector<std::string>> cabecalhos;
        float alturaCabecalho = 0;
    };
    static constexpr float kAltLinhaTabela = kCorpo + 2.0f;

    Layout MontaLayout(const std::string& titulo, const std::vector<std::size_t>& colunas,
                       const std::vector<const LinhaDocumento*>& linhas) const {
        Layout layout;
        layout.titulo = titulo;
        layout.colunas = colunas;
        // Widths: what header and cells need, shrunk toward the captions'
        // longest words when the page is too narrow.
        std::vector<float> natural(colunas.size()), minimo(colunas.size());
        std::vector<std::string> cabecalhos(colunas.size());
        for (std::size_t k = 0; k < colunas.size(); ++k) {
            cabecalhos[k] = Cp(RotuloColuna(m_doc.colunas[colunas[k]]));
            float maiorPalavra = 0;
            for (const std::string& p : Quebra(m_negrito, kCorpo, cabecalhos[k], 1))
                maiorPalavra = std::max(maiorPalavra, Largura(m_negrito, kCorpo, p));
            float n = Largura(m_negrito, kCorpo, cabecalhos[k]);
            for (const LinhaDocumento* l : linhas) n = std::max(n, Largura(m_fonte, kCorpo, Cp(Valor(*l, colunas[k]))));
            // One point more than measured: the wrap must not split what just fits.
            natural[k] = std::min(n, kLarguraUtil * 0.4f) + 2 * kFolga + 1;
            minimo[k] = std::min(natural[k], std::max(maiorPalavra, 28.0f) + 2 * kFolga + 1);
        }
        float somaNatural = 0, somaMinimo = 0;
        for (std::size_t k = 0; k < colunas.size(); ++k) {
            somaNatural += natural[k];
            somaMinimo += minimo[k];
        }
        layout.largura = natural;
        if (somaNatural > kLarguraUtil) {
            if (somaMinimo >= kLarguraUtil) {
                for (std::size_t k = 0; k < colunas.size(); ++k)
                    layout.largura[k] = minimo[k] * kLarguraUtil / somaMinimo;
            } else {
                const float f = (kLarguraUtil - somaMinimo) / (somaNatural - somaMinimo);
                for (std::size_t k = 0; k < colunas.size(); ++k)
                    layout.largura[k] = minimo[k] + (natural[k] - minimo[k]) * f;
            }
        }
        for (float l : layout.largura) layout.total += l;
        std::size_t maior = 1;
        for (std::size_t k = 0; k < colunas.size(); ++k) {
            layout.cabecalhos.push_back(Quebra(m_negrito, kCorpo, cabecalhos[k], layout.largura[k] - 2 * kFolga));
            maior = std::max(maior, layout.cabecalhos.back().size());
        }
        layout.alturaCabecalho = static_cast<float>(maior) * kAltLinhaTabela + 2 * kFolga;
        return layout;
    }

    // A row's cells wrapped to their columns, and its height.
    std::vector<std::vector<std::string>> QuebraLinha(const Layout& layout, const LinhaDocumento& linha,
                                                      float& altura, std::size_t& maior) const {
        std::vector<std::vector<std::string>> textos(layout.colunas.size());
        maior = 1;
        for (std::size_t k = 0; k < layout.colunas.size(); ++k) {
            textos[k] = Quebra(m_fonte, kCorpo, Cp(Valor(linha, layout.colunas[k])), layout.largura[k] - 2 * kFolga);
            maior = std::max(maior, textos[k].size());
        }
        // A row taller than a whole page is cut to what fits on one.
        const float maxLinhas = (kTopoConteudo - kBaseConteudo - 60) / kAltLinhaTabela;
        maior = std::min(maior, static_cast<std::size_t>(maxLinhas));
        altura = static_cast<float>(maior) * kAltLinhaTabela + 2 * kFolga;
        return textos;
    }

    // Height of the table's title, header and first row: what must stand
    // together on a page.
    float AlturaInicioTabela(const Layout& layout, const LinhaDocumento& primeira) const {
        float altura = 0;
        std::size_t maior = 0;
        QuebraLinha(layout, primeira, altura, maior);
        return (layout.titulo.empty() ? 0 : 14) + layout.alturaCabecalho + altura;
    }

    void Cabecalho(const Layout& layout, const LinhaDocumento& primeira, bool continuacao) {
        Espaco(AlturaInicioTabela(layout, primeira));
        if (!layout.titulo.empty()) {
            Texto(m_negrito, 9, kMargem, m_y - 10, Cp(layout.titulo + (continuacao ? " (continuação)" : "")));
            m_y -= 14;
        }
        Retangulo(kMargem, m_y - layout.alturaCabecalho, layout.total, layout.alturaCabecalho, 0.9f);
        float x = kMargem;
        for (std::size_t k = 0; k < layout.colunas.size(); ++k) {
            for (std::size_t l = 0; l < layout.cabecalhos[k].size(); ++l)
                Texto(m_negrito, kCorpo, x + kFolga, m_y - kFolga - kCorpo - static_cast<float>(l) * kAltLinhaTabela,
                      layout.cabecalhos[k][l]);
            x += layout.largura[k];
        }
        m_y -= layout.alturaCabecalho;
    }

    // A table of `layout` over `linhas`; a table that goes on to the next
    // page repeats its title and header there.
    void Tabela(const Layout& layout, const std::vector<const LinhaDocumento*>& linhas) {
        if (layout.colunas.empty() || linhas.empty()) return;
        Cabecalho(layout, *linhas.front(), false);
        HPDF_Page_SetLineWidth(m_pagina, 0.3f);
        for (const LinhaDocumento* linha : linhas) {
            float altura = 0;
            std::size_t maior = 0;
            const auto textos = QuebraLinha(layout, *linha, altura, maior);
            if (m_y - altura < kBaseConteudo) {
                NovaPagina();
                Cabecalho(layout, *linha, true);
                HPDF_Page_SetLineWidth(m_pagina, 0.3f);
            }
            float x = kMargem;
            for (std::size_t k = 0; k < layout.colunas.size(); ++k) {
                for (std::size_t l = 0; l < textos[k].size() && l < maior; ++l)
                    Texto(m_fonte, kCorpo, x + kFolga, m_y - kFolga - kCorpo - static_cast<float>(l) * kAltLinhaTabela,
                          textos[k][l]);
                x += layout.largura[k];
            }
            m_y -= altura;
            HPDF_Page_SetGrayStroke(m_pagina, 0.6f);
            HPDF_Page_MoveTo(m_pagina, kMargem, m_y);
            HPDF_Page_LineTo(m_pagina, kMargem + layout.total, m_y);
            HPDF_Page_Stroke(m_pagina);
            HPDF_Page_SetGrayStroke(m_pagina, 0);
        }
        m_y -= 8;
    }

    void Bloco(const BlocoDocumento& bloco) {
        if (bloco.linhas.empty()) return;
        // The block's tables: one per group of the row columns, in the order
        // their first column comes, each with the rows that have something in it.
        std::vector<int> grupos;
        for (const ColunaRelatorio& c : m_doc.colunas)
            if (!c.bMestre && std::find(grupos.begin(), grupos.end(), c.iGrupo) == grupos.end())
                grupos.push_back(c.iGrupo);
        std::vector<std::pair<Layout, std::vector<const LinhaDocumento*>>> tabelas;
        for (const int grupo : grupos) {
            std::vector<std::size_t> colunas;
            std::string titulo;
            for (std::size_t c = 0; c < m_doc.colunas.size(); ++c) {
                if (m_doc.colunas[c].bMestre || m_doc.colunas[c].iGrupo != grupo) continue;
                colunas.push_back(c);
                if (titulo.empty()) titulo = m_doc.colunas[c].sTituloGrupo;
            }
            std::vector<const LinhaDocumento*> linhas;
            for (const LinhaDocumento& l : bloco.linhas) {
                bool temAlgo = false;
                for (const std::size_t c : colunas) temAlgo = temAlgo || !Valor(l, c).empty();
                if (temAlgo) linhas.push_back(&l);
            }
            if (colunas.empty() || linhas.empty()) continue;
            Layout layout = MontaLayout(titulo, colunas, linhas);
            tabelas.emplace_back(std::move(layout), std::move(linhas));
        }
        // The heading never stands alone at a page's foot: it goes with its
        // fields and at least the first table's header and first row.
        const Mestre mestre = MontaMestre(bloco.linhas.front());
        float junto = mestre.altura;
        if (!tabelas.empty()) junto += AlturaInicioTabela(tabelas.front().first, *tabelas.front().second.front());
        if (m_y - junto < kBaseConteudo && m_y < kTopoConteudo && junto <= kTopoConteudo - kBaseConteudo)
            NovaPagina();
        DesenhaMestre(mestre);
        for (const auto& [layout, linhas] : tabelas) Tabela(layout, linhas);
        m_continuacao.clear();
        // A rule between blocks.
        Espaco(6);
        HPDF_Page_SetLineWidth(m_pagina, 0.6f);
        HPDF_Page_MoveTo(m_pagina, kMargem, m_y + 2);
        HPDF_Page_LineTo(m_pagina, kLarguraPagina - kMargem, m_y + 2);
        HPDF_Page_Stroke(m_pagina);
        m_y -= 10;
    }

    // The document's bar chart, when it has one: stacked bars per category
    // over a scale of whole numbers, the legend on the right.
    void Grafico() {
        const GraficoRelatorio& g = m_doc.grafico;
        if (g.categorias.empty() || g.series.empty()) return;
        static constexpr float kCores[][3] = {{0.16f, 0.38f, 0.67f}, {0.90f, 0.49f, 0.13f}, {0.20f, 0.60f, 0.30f},
                                              {0.77f, 0.19f, 0.22f}, {0.55f, 0.36f, 0.70f}, {0.55f, 0.34f, 0.24f},
                                              {0.89f, 0.47f, 0.76f}, {0.50f, 0.50f, 0.50f}};
        constexpr std::size_t kQtdCores = sizeof kCores / sizeof kCores[0];
        constexpr float kAltura = 190, kLegenda = 170;
        int maximo = 1;
        for (const auto& valores : g.valores) {
            int soma = 0;
            for (const int v : valores) soma += std::max(v, 0);
            maximo = std::max(maximo, soma);
        }
        if (!g.sTitulo.empty()) {
            Texto(m_negrito, 10, kMargem, m_y - 11, Cp(g.sTitulo));
            m_y -= 18;
        }
        const float x0 = kMargem + 24, base = m_y - kAltura + 16, topo = m_y - 4;
        const float largura = kLarguraUtil - kLegenda - 24;
        const float escala = (topo - base) / static_cast<float>(maximo);
        // Scale: at most about six whole steps.
        const int passo = std::max(1, (maximo + 5) / 6);
        HPDF_Page_SetLineWidth(m_pagina, 0.3f);
        for (int v = 0; v <= maximo; v += passo) {
            const float y = base + static_cast<float>(v) * escala;
            HPDF_Page_SetGrayStroke(m_pagina, v == 0 ? 0 : 0.8f);
            HPDF_Page_MoveTo(m_pagina, x0, y);
            HPDF_Page_LineTo(m_pagina, x0 + largura, y);
            HPDF_Page_Stroke(m_pagina);
            const std::string rotulo = std::to_string(v);
            Texto(m_fonte, 7, x0 - 4 - Largura(m_fonte, 7, rotulo), y - 2.5f, rotulo);
        }
        HPDF_Page_SetGrayStroke(m_pagina, 0);
        const float faixa = largura / static_cast<float>(g.categorias.size());
        const float barra = std::min(faixa * 0.6f, 48.0f);
        for (std::size_t c = 0; c < g.categorias.size(); ++c) {
            const float x = x0 + faixa * static_cast<float>(c) + (faixa - barra) / 2;
            float y = base;
            int total = 0;
            for (std::size_t s = 0; c < g.valores.size() && s < g.valores[c].size() && s < g.series.size(); ++s) {
                const int v = std::max(g.valores[c][s], 0);
                if (v == 0) continue;
                const float* cor = kCores[s % kQtdCores];
                HPDF_Page_SetRGBFill(m_pagina, cor[0], cor[1], cor[2]);
                HPDF_Page_Rectangle(m_pagina, x, y, barra, static_cast<float>(v) * escala);
                HPDF_Page_Fill(m_pagina);
                y += static_cast<float>(v) * escala;
                total += v;
            }
            HPDF_Page_SetGrayFill(m_pagina, 0);
            if (total > 0) {
                const std::string numero = std::to_string(total);
                Texto(m_negrito, 7, x + (barra - Largura(m_negrito, 7, numero)) / 2, y + 2, numero);
            }
            const std::string rotulo = Cp(g.categorias[c]);
            Texto(m_fonte, 7, x + (barra - Largura(m_fonte, 7, rotulo)) / 2, base - 10, rotulo);
        }
        // Legend: one swatch per series.
        float yl = topo - 8;
        const float xl = kLarguraPagina - kMargem - kLegenda + 16;
        for (std::size_t s = 0; s < g.series.size() && yl > base; ++s, yl -= 12) {
            const float* cor = kCores[s % kQtdCores];
            HPDF_Page_SetRGBFill(m_pagina, cor[0], cor[1], cor[2]);
            HPDF_Page_Rectangle(m_pagina, xl, yl, 8, 8);
            HPDF_Page_Fill(m_pagina);
            HPDF_Page_SetGrayFill(m_pagina, 0);
            const auto linhas = Quebra(m_fonte, 8, Cp(g.series[s]), kLegenda - 30);
            Texto(m_fonte, 8, xl + 12, yl + 1, linhas.front());
        }
        m_y -= kAltura + 6;
    }

    // Without subordinate lines: one table of every line and column.
    void TabelaPlana() {
        std::vector<std::size_t> colunas;
        for (std::size_t c = 0; c < m_doc.colunas.size(); ++c) colunas.push_back(c);
        std::vector<const LinhaDocumento*> linhas;
        for (const BlocoDocumento& b : m_doc.blocos)
            for (const LinhaDocumento& l : b.linhas) linhas.push_back(&l);
        if (colunas.empty() || linhas.empty()) return;
        Tabela(MontaLayout({}, colunas, linhas), linhas);
    }

    void Rodapes() {
        const std::size_t total = m_paginas.size();
        for (std::size_t i = 0; i < total; ++i) {
            m_pagina = m_paginas[i];
            const std::string texto = Cp("Página " + std::to_string(i + 1) + " de " + std::to_string(total));
            Texto(m_fonte, 8, kLarguraPagina - kMargem - Largura(m_fonte, 8, texto), kMargem, texto);
            Texto(m_fonte, 8, kMargem, kMargem, Cp(m_doc.sTitulo));
        }
    }

    const DocumentoRelatorio& m_doc;
    ErroHpdf m_erro;
    std::unique_ptr<std::remove_pointer_t<HPDF_Doc>, LiberaPdf> m_pdf;
    HPDF_Font m_fonte = nullptr;
    HPDF_Font m_negrito = nullptr;
    HPDF_Page m_pagina = nullptr;
    std::vector<HPDF_Page> m_paginas;
    float m_y = 0;
    std::string m_continuacao;  // the bar of the block being written (Windows-1252)
};

}  // namespace

HRESULT EscrevePdf(const DocumentoRelatorio& documento, const std::filesystem::path& arquivo) {
    try {
        Escritor escritor(documento);
        return escritor.Escreve(arquivo);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

}  // namespace zenta
