// The default error block, byte for byte: titles and messages in Windows-1252 (accented letters as
// \x escapes), in the order the table is loaded. Each entry is written as its identifier (little
// endian), severity and title length, the title, then the message length and the message.
#include "framework/errors/default_errors.h"

namespace framework {
namespace {

// clang-format off
constexpr char kDefaultErrors[] =
    "\x35\x00"  // 53 entries
    // Id 30
    "\x1E\x00\x05\x0E" "Chave Inv\xE1lida"
    "\x3E" "Arquivo chave %File \xE9 inv\xE1lido. O \xEDndice precisa ser recriado."
    // Id 29
    "\x1D\x00\x03\x10" "Chave n\xE3o criada"
    "\x2E" "Erro: (%ErrorText) consertando chave de %File."
    // Id 12
    "\x0C\x00\x03\x1A" "Erro na cria\xE7\xE3o do arquivo"
    "\x21" "Erro: (%ErrorText) criando %File."
    // Id 27
    "\x1B\x00\x05\x19" "Procedimento n\xE3o definido"
    "\x2C" "O Procedimento %Message n\xE3o estava definido."
    // Id 19
    "\x13\x00\x05\x0E" "Erro no Filtro"
    "\x2E" "O valor do %Field deve ser menor que %Message."
    // Id 20
    "\x14\x00\x05\x0E" "Erro no Filtro"
    "\x2E" "O Valor do %Field deve ser maior que %Message."
    // Id 18
    "\x12\x00\x05\x0E" "Erro no Filtro"
    "\x2C" "O valor do %Field deve estar entre %Message."
    // Id 16
    "\x10\x00\x05\x1A" "Conte\xFA" "do do campo inv\xE1lido"
    "\x34" "O valor do %Field dese estar entre %Message arquivo."
    // Id 34
    "\x22\x00\x05\x2C" "Erro de Atualiza\xE7\xE3o de Integridade referente"
    "\x64" "Este registro \xE9 referencia do arquivo %File. Campo atualizado e foi reajustado os valores originais."
    // Id 33
    "\x21\x00\x05\x21" "Erro Integridade referente exclui"
    "\x75" "Este registro \xE9 referencia do arquivo %File. Este registro n\xE3o pode ser apagado enquanto estas refer\xEAncias existirem."
    // Id 4
    "\x04\x00\x05\x0D" "Erro Inclus\xE3o"
    "\x45" "Erro durante a inclus\xE3o do registro.|Arquivo: %File|Erro: %ErrorText."
    // Id 7
    "\x07\x00\x05\x17" "Registro n\xE3o atualizado"
    "\x2F" "Este registro foi atualizado por outra esta\xE7\xE3o."
    // Id 8
    "\x08\x00\x05\x17" "Registro n\xE3o Atualizado"
    "\x82" "Este registro foi atualizado por outra esta\xE7\xE3o. Essas mudan\xE7" "as ser\xE3o exibidas agora. Use o atalho Ctrl+H para atualizar o arquivo."
    // Id 37
    "\x25\x00\x01\x1D" "Erro na altera\xE7\xE3o do registro"
    "\x4D" "Ocorreu um erro na altera\xE7\xE3o do registro. Voc\xEA quer tentar alterar novamente?"
    // Id 36
    "\x24\x00\x01\x1A" "Erro ao excluir o registro"
    "\x47" "Ocorreu um erro ao tentar excluir o registro. Tentar excluir novamente?"
    // Id 23
    "\x17\x00\x05\x14" "Solicita\xE7\xE3o inv\xE1lida"
    "\x2A" "Solicita\xE7\xE3o inv\xE1lida para inserir registro"
    // Id 41
    "\x29\x00\x05\x14" "Solicita\xE7\xE3o inv\xE1lida"
    "\x2A" "Solicita\xE7\xE3o inv\xE1lida para alterar registro"
    // Id 14
    "\x0E\x00\x05\x14" "Solicita\xE7\xE3o inv\xE1lida"
    "\x2A" "Solicita\xE7\xE3o inv\xE1lida para excluir registro"
    // Id 10
    "\x0A\x00\x01\x1D" "As altera\xE7\xF5" "es ser\xE3o perdidas!"
    "\x1F" "Voc\xEA deseja realmente cancelar?"
    // Id 15
    "\x0F\x00\x05\x14" "Erro chave duplicada"
    "\x19" "Chave duplicada: %Message"
    // Id 35
    "\x23\x00\x01\x20" "Erro de Incremento de automatico"
    "\x7D" "Tentativas para numerar este registro automaticamente falharam.|Arquivo: %File|Chave: %Key|Erro: %ErrorText.|Tente Novamente?"
    // Id 21
    "\x15\x00\x05\x1A" "Erro ao carregar o arquivo"
    "\x23" "Arquivo: %File .  Erro: %ErrorText."
    // Id 39
    "\x27\x00\x01\x19" "Erro no inicio do arquivo"
    "\x58" "O inicio do arquivo %File foi encontrado. Voc\xEA quer come\xE7" "ar novamente do fim do arquivo?"
    // Id 40
    "\x28\x00\x01\x16" "Erro no fim do arquivo"
    "\x55" "O fim do arquivo %File foi encontrado. Voc\xEA quer come\xE7" "ar novamente desde o princ\xEDpio?"
    // Id 6
    "\x06\x00\x05\x19" "Erro de Acesso de arquivo"
    "\x36" "Arquivo %File n\xE3o p\xF4" "de ser fechado.  Erro: %ErrorText."
    // Id 26
    "\x1A\x00\x03\x19" "Erro de Acesso de arquivo"
    "\x35" "Arquivo %File n\xE3o p\xF4" "de ser aberto.  Erro: %ErrorText."
    // Id 28
    "\x1C\x00\x05\x1B" "Registro n\xE3o foi atualizado"
    "\x3B" "Um erro (%ErrorText) ao fazer altera\xE7\xF5" "es no arquivo %File ."
    // Id 13
    "\x0D\x00\x05\x19" "Registro n\xE3o foi excluido"
    "\x32" "Um erro (%ErrorText) ao excluir no arquivo %File ."
    // Id 11
    "\x0B\x00\x01\x11" "Confirma Exclus\xE3o"
    "\x30" "Deseja realmente excluir o registro selecionado?"
    // Id 38
    "\x26\x00\x01\x06" "Salvar"
    "\x1C" "Deseja salvar as altera\xE7\xF5" "es?"
    // Id 24
    "\x18\x00\x05\x13" "Transa\xE7\xE3o cancelada"
    "\x38" "Erro: (%ErrorText) tentando moldar a transa\xE7\xE3o em %File."
    // Id 1
    "\x01\x00\x05\x20" " Erro de Recupera\xE7\xE3o do registro"
    "\x5E" "Erro: (%ErrorText) tentando acessar um registro do arquivo %File . Voltando a janela anterior."
    // Id 43
    "\x2B\x00\x05\x14" "Erro na visualiza\xE7\xE3o"
    "\x48" "Erro: (%ErrorText) tentando abrir a visualiza\xE7\xE3o atual. Filtro ignorado."
    // Id 3
    "\x03\x00\x01\x10" "Registro Gravado"
    "\x38" "Este registro foi gravado. Deseja gravar outro registro?"
    // Id 31
    "\x1F\x00\x05\x1B" "Erro na leitura do registro"
    "\x3E" "O registro est\xE1 sendo usado por outra esta\xE7\xE3o. Arquivo %File ."
    // Id 5
    "\x05\x00\x05\x16" "Incluir novo registro?"
    "\x39" "Registro n\xE3o encontrado, deseja incluir um novo registro?"
    // Id 17
    "\x11\x00\x05\x0A" "Erro Valor"
    "\x30" "O valor do %Field deve estar na lista: %Message."
    // Id 25
    "\x19\x00\x05\x0F" "Nenhum Registro"
    "\x30" "N\xE3o h\xE1 nenhum registro dispon\xEDvel para processo."
    // Id 2
    "\x02\x00\x05\x0D" "Acesso Negado"
    "\x34" "N\xE3o p\xF4" "de adquirir acesso para %File somente leitura."
    // Id 42
    "\x2A\x00\x02\x16" "Erro no uso do arquivo"
    "\x2B" "Tente usar o arquivo (%File) antes de abrir"
    // Id 32
    "\x20\x00\x05\x1A" "Limite de registro Excedeu"
    "\x5A" "N\xE3o ser\xE1 permitido incluir registros para arquivar %File. Ser\xE1 aberto como somente-leitura"
    // Id 44
    "\x2C\x00\x05\x20" "Coluna do filtro sem assist\xEAncia"
    "\x41" "A coluna do filtro, %Field n\xE3o \xE9 v\xE1lido. Ser\xE1 ignorado do filtro."
    // Id 45
    "\x2D\x00\x05\x0C" "Erro de SMTP"
    "\x2C" "O seguinte erro de SMTP aconteceu: %Message "
    // Id 46
    "\x2E\x00\x05\x0C" "Erro de NNTP"
    "\x09" "%Message "
    // Id 47
    "\x2F\x00\x05\x0F" "Erro de Winsock"
    "\x09" "%Message "
    // Id 49
    "\x31\x00\x03\x0B" "Erro de WMF"
    "\x2F" "O Arquivo %File n\xE3o \xE9 um arquivo de WMF v\xE1lido."
    // Id 22
    "\x16\x00\x03\x08" "Erro WMF"
    "\x30" "Obtenha pr\xF3ximo registro do arquivo %File falho."
    // Id 51
    "\x33\x00\x03\x08" "Erro WMF"
    "\x30" "N\xE3o pode achar c\xF3" "digo %Field . Analisando %File."
    // Id 50
    "\x32\x00\x03\x08" "Erro WMF"
    "\x2C" "Controle inv\xE1lido %Field . Analisando %File."
    // Id 48
    "\x30\x00\x03\x08" "Erro WMF"
    "\x3C" "Incluindo registro para fazer fila falhou. Analisando %File."
    // Id 52
    "\x34\x00\x05\x17" "Erro ao gerar relat\xF3rio"
    "\x34" "Erro ao gerar relat\xF3rio \"%Message\" a Posi\xE7\xE3o %Field."
    // Id 53
    "\x35\x00\x05\x17" "Erro ao gerar relat\xF3rio"
    "\x22" "Propriedade desconhecida %Message."
    // Id 9
    "\x09\x00\x05\x1F" "Erro de Recupera\xE7\xE3o do registro"
    "\x7B" "Este registro foi alterado ou excluido por outra esta\xE7\xE3o|Erro: (%ErrorText) tentando acessar um registro do arquivo %File .";

// clang-format on

// The array holds a terminating zero after the block.
static_assert(sizeof kDefaultErrors - 1 == kDefaultErrorsSize);

}  // namespace

std::string_view DefaultErrors() {
  return std::string_view(kDefaultErrors, sizeof kDefaultErrors - 1);
}

}  // namespace framework
