// Disk pieces of the engine's fault tests: bytes laid down as a crash or an
// older version left them, and a file layer through which every step that
// changes the disk (a creation, a write, a flush, a cut, a rename, a
// deletion) is shown to `decide`, which lets it pass, fails it, or (a write)
// tears it: half of its bytes land, then it fails.
#pragma once

#include <atomic>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "core/qvdatabase/QVArquivoSO.h"

namespace zenta::teste {

inline void GravaBytes(const std::filesystem::path& caminho, const std::string& bytes) {
    std::filesystem::create_directories(caminho.parent_path());
    std::ofstream(caminho, std::ios::binary | std::ios::trunc) << bytes;
}

enum class PassoSO { cria, grava, sincroniza, trunca, renomeia, remove, sincronizaDiretorio };

struct Passo {
    PassoSO tipo;
    std::string nome;  // the file's name (a rename's origin)
    uint64_t posicao = 0;
    std::string_view bytes;  // what a write carries
};

struct Resposta {
    enum { passa, falha, rasga } acao = passa;
    zenta::CausaArquivo causa = zenta::CausaArquivo::erroFisico;
};
inline constexpr Resposta kPassa{};
inline constexpr Resposta kFalha{Resposta::falha, zenta::CausaArquivo::erroFisico};
inline constexpr Resposta kRasgaDiscoCheio{Resposta::rasga, zenta::CausaArquivo::discoCheio};

class CamadaFalhas final : public zenta::SistemaArquivosRepassador {
public:
    CamadaFalhas() : SistemaArquivosRepassador(zenta::CriaSistemaArquivosReal()) {}
    explicit CamadaFalhas(std::function<Resposta(const Passo&)> d) : CamadaFalhas() { decide = std::move(d); }

    std::function<Resposta(const Passo&)> decide;
    std::atomic<int> gravacoes{0};  // writes that reached the layer

    zenta::ResultadoArquivo Abre(const std::filesystem::path& caminho, zenta::AberturaSO modo,
                                 std::unique_ptr<zenta::IArquivoAberto>& arquivo) override {
        const bool cria = modo == zenta::AberturaSO::criacaoTruncada ||
                          (modo == zenta::AberturaSO::leituraGravacaoCriacao && !m_base->Existe(caminho));
        if (cria) {
            const Resposta r = Decide({PassoSO::cria, caminho.filename().string(), 0, {}});
            if (r.acao != Resposta::passa) return Falha(r);
        }
        const zenta::ResultadoArquivo r = m_base->Abre(caminho, modo, arquivo);
        if (r.Ok()) arquivo = std::make_unique<Arquivo>(std::move(arquivo), *this, caminho.filename().string());
        return r;
    }
    zenta::ResultadoArquivo Renomeia(const std::filesystem::path& o, const std::filesystem::path& d, bool v) override {
        const Resposta r = Decide({PassoSO::renomeia, o.filename().string(), 0, {}});
        return r.acao == Resposta::passa ? m_base->Renomeia(o, d, v) : Falha(r);
    }
    zenta::ResultadoArquivo Remove(const std::filesystem::path& c) override {
        const Resposta r = Decide({PassoSO::remove, c.filename().string(), 0, {}});
        return r.acao == Resposta::passa ? m_base->Remove(c) : Falha(r);
    }
    zenta::ResultadoArquivo SincronizaDiretorio(const std::filesystem::path& d) override {
        const Resposta r = Decide({PassoSO::sincronizaDiretorio, d.filename().string(), 0, {}});
        return r.acao == Resposta::passa ? m_base->SincronizaDiretorio(d) : Falha(r);
    }

private:
    Resposta Decide(const Passo& p) { return decide ? decide(p) : kPassa; }
    static zenta::ResultadoArquivo Falha(const Resposta& r) {
        return zenta::ResultadoArquivo::Falha(r.causa, r.causa == zenta::CausaArquivo::discoCheio ? ENOSPC : EIO);
    }

    class Arquivo final : public zenta::IArquivoAberto {
    public:
        Arquivo(std::unique_ptr<zenta::IArquivoAberto> a, CamadaFalhas& c, std::string nome)
            : m_a(std::move(a)), m_c(c), m_nome(std::move(nome)) {}
        zenta::ResultadoArquivo Le(uint64_t p, void* d, std::size_t t, std::size_t& l) override {
            return m_a->Le(p, d, t, l);
        }
        zenta::ResultadoArquivo Grava(uint64_t p, const void* o, std::size_t t) override {
            ++m_c.gravacoes;
            const Resposta r = m_c.Decide({PassoSO::grava, m_nome, p, {static_cast<const char*>(o), t}});
            if (r.acao == Resposta::passa) return m_a->Grava(p, o, t);
            if (r.acao == Resposta::rasga) (void)m_a->Grava(p, o, t / 2);
            return Falha(r);
        }
        zenta::ResultadoArquivo Tamanho(uint64_t& t) override { return m_a->Tamanho(t); }
        zenta::ResultadoArquivo Sincroniza() override {
            const Resposta r = m_c.Decide({PassoSO::sincroniza, m_nome, 0, {}});
            return r.acao == Resposta::passa ? m_a->Sincroniza() : Falha(r);
        }
        zenta::ResultadoArquivo Trunca(uint64_t t) override {
            const Resposta r = m_c.Decide({PassoSO::trunca, m_nome, 0, {}});
            return r.acao == Resposta::passa ? m_a->Trunca(t) : Falha(r);
        }

    private:
        std::unique_ptr<zenta::IArquivoAberto> m_a;
        CamadaFalhas& m_c;
        std::string m_nome;
    };
};

}  // namespace zenta::teste
