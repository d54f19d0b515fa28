// A station for the dictionary's crash tests: a separate process that deletes one employee with
// its whole tree through the relation objects, so that a test can kill it in the middle.
//
//   dictionary_cascade_station FOLDER CODE
//       names the files into FOLDER, reads employee CODE, prints "deleting", deletes it through
//       Relate:Funcionarios and prints "deleted <result>"

#include <cstdlib>
#include <iostream>

#include "dictionary/access_classes.h"
#include "dictionary/dictionary_testing.h"
#include "framework/errors/global_errors.h"
#include "framework/files/file_manager_testing.h"
#include "framework/files/files_manager.h"
#include "runtime/records/thread_files.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: dictionary_cascade_station FOLDER CODE\n";
    return 2;
  }
  dictionary::testing::NameFilesIn(argv[1]);
  framework::testing::RecordingErrors errors;  // answers every message with its default
  framework::SetGlobalErrors(&errors);
  framework::AttachFilesManager();
  dictionary::DctInit();
  dictionary::FilesInit();
  dictionary::Access::Funcionarios->File->SetInteger(dictionary::FUN.CODIGO, std::atoll(argv[2]));
  if (dictionary::Access::Funcionarios->TryFetch(dictionary::FUN.KEY.CODIGO) != 0) {
    std::cout << "missing" << std::endl;
    return 1;
  }
  std::cout << "deleting" << std::endl;
  const int result = dictionary::Relate::Funcionarios->Delete(0);
  std::cout << "deleted " << result << std::endl;
  dictionary::DctKill();
  framework::DetachFilesManager();
  runtime::DestroyThreadFiles();
  framework::SetGlobalErrors(nullptr);
  return 0;
}
