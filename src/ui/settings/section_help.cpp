#include "ui/settings/section_help.h"

#include <array>
#include <initializer_list>

namespace vgx {

namespace {

std::string Lines(std::initializer_list<const char*> lines) {
    std::string text;
    for (const char* line : lines) {
        if (!text.empty())
            text += "\r\n";
        text += line;
    }
    return text;
}

}  // namespace

std::string SectionHelpText(int index) {
    switch (index) {
        case 0:
            return Lines({
                "Iniciar como serviço: Ao iniciar o sistema, mesmo sem fazer o login o Vigiax "
                "estará "
                "funcionando.",
                "Mostrar Painel: Um painel aparecerá na tela mostrando as informações.",
                "Sempre Visível e Opacidade: Definições da aparência do painel.",
                "Pooling: É o intervalo em minutos em que o Vigiax vai monitorar a Internet e o "
                "IIS.",
                "Falhas: Você pode determinar o número de falhas para que o Vigiax tome a ação "
                "selecionada.",
                "Atraso: Para computadores que demoram mais na inicialização ou precisam fazer "
                "login "
                "para obter uma conexão "
                " esta opção permite atrasar (delay em minutos) a primeira verificação do pooling. "
                "Isto evita que o Vigiax compute falhas "
                "antes que a conexão seja estabelecida.",
            });
        case 1:
            return Lines({
                "Para aqueles que compartilham uma pasta e odeiam ficar limpando os arquivos, essa "
                "é uma ótima opção. Vc pode adicionar quantas pastas quiser para que o Vigiax "
                "apague os arquivos e sub-diretórios na programação que você fizer.",
                "EX: Suponha que você compartilhe a pasta 'C:\\Usuarios\\Todos' no seu computador. "
                "Todos os "
                "usuários da rede tem acesso a esta pasta gravando arquivos e criando diretórios. "
                "Você pode programar o Vigiax "
                "para que todas as segundas-feiras o diretório seja limpado.",
                "Assim vc economiza espaço em disco e tempo.",
            });
        case 2:
            return Lines({
                "URLs: Você deve colocar dois URLs ou IPs válidos para que o Vigiax, no intervalo "
                "selecionado pelo "
                "Pooling, fique aguardando por uma resposta destes endereços. Caso não haja "
                "nenhuma "
                "resposta dos dois "
                "endereços (provavelmente sua conexão com a Internet caiu), o Vigiax contará como "
                "uma falha. Ao atingir o número de falhas configurado o Vigiax irá "
                " realizar a ação configurada.",
            });
        case 3:
            return Lines({
                "Para aqueles que utilizam um servidor de Web e vivem tendo que reiniciar o "
                "serviço "
                "porque o IIS travou... Chega!!",
                "Aqui você pode colocar o endereço ou página que está no seu servidor. O Vigiax "
                "irá "
                "verificar esta página "
                "durante o pooling e vai aguardar pela resposta '200 OK' do seu servidor. Como a "
                "verificação é feita via HTTP, vc pode colocar "
                "qualquer tipo de endereço de página válido desde que sua página não contenha "
                "erros "
                "de HTML e Scripts.",
                "EX: www.seuservidor.com.br/dir1/pagina1.asp",
            });
        case 4:
            return Lines({
                "Reiniciar: Reinicia o Computador.",
                "Reset Falhas: Zera o contador de falhas acumulado pelo pooling.",
                "Logs: Permite a visualização do Log especificado pelo campo de data.",
            });
        default:
            return {};
    }
}

}  // namespace vgx
