// run_plan.cpp: gathering a convert run's files and judging them.

#include "cli/run_plan.h"

#include "convert/convert_file.h"
#include "dbf/memo_file.h"

namespace {

// "A.dbf and A.DBF would both be converted to A.ADI; nothing was written".
std::string SharedOutputText(const RunPlan::Output& first,
                             const RunPlan::Output& second, Language language) {
  return FormatText(Choose(language,
                           "%s y %s se convertir\xED"
                           "an las dos en ",
                           "%s and %s would both be converted to "),
                    first.table, second.table) +
         first.path +
         Choose(language, "; no se ha escrito nada", "; nothing was written");
}

// "The output log.dbt would be taken for the memo file of log.dbf; ...".
std::string MemoNameText(const std::string& output, const std::string& table,
                         Language language) {
  return FormatText(Choose(language,
                           "La salida %s se tomar\xED"
                           "a por el fichero memo "
                           "de %s; no se ha escrito nada",
                           "The output %s would be taken for the memo file "
                           "of %s; nothing was written"),
                    ShownOutput(output, language), table);
}

}  // namespace

RunPlan PlanRun(const ConvertCommandLine& options, FileSystem& files) {
  RunPlan plan;
  OutputJob output;
  output.path = options.to_standard_output() ? std::string() : options.output;
  output.to_standard_output = options.to_standard_output();
  output.format = options.format;
  for (const std::string& table : options.inputs) {
    if (files.KindOf(table) == FileKind::kMissing) continue;
    plan.inputs.push_back(table);
    plan.tables.push_back(table);
    for (std::string& memo : MemoFilesBeside(files, table))
      plan.inputs.push_back(std::move(memo));
    if (!options.merge)
      plan.outputs.push_back({OutputPathOf(table, output), table});
  }
  if (options.merge && !options.inputs.empty())
    plan.outputs.push_back({output.path, options.inputs.front()});
  plan.inputs.insert(plan.inputs.end(), options.map_files.begin(),
                     options.map_files.end());
  return plan;
}

bool JudgeRunPlan(const RunPlan& plan, FileSystem& files, Language language,
                  std::string* refusal) {
  for (const RunPlan::Output& output : plan.outputs)
    if (!OutputIsNoInput(files, output.path, plan.inputs, language, refusal))
      return false;
  for (const RunPlan::Output& output : plan.outputs)
    for (const std::string& table : plan.tables)
      if (!output.path.empty() &&
          NamedAsMemoFileOf(files, output.path, table)) {
        *refusal = MemoNameText(output.path, table, language);
        return false;
      }
  for (std::size_t i = 0; i < plan.outputs.size(); ++i)
    for (std::size_t j = i + 1; j < plan.outputs.size(); ++j)
      if (!plan.outputs[i].path.empty() &&
          NamesSameOutput(files, plan.outputs[i].path, plan.outputs[j].path)) {
        *refusal = SharedOutputText(plan.outputs[i], plan.outputs[j], language);
        return false;
      }
  return true;
}
