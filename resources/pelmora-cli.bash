# bash completion for pelmora-cli: its commands, then the options of the
# command given, both read from the program's own --help, so they never go
# out of date.

_pelmora_cli() {
  local current=${COMP_WORDS[COMP_CWORD]} previous=${COMP_WORDS[COMP_CWORD-1]}
  local command="" word
  for word in "${COMP_WORDS[@]:1:COMP_CWORD-1}"; do
    case $word in
      -*) ;;
      *) if [[ -z $command && $previous != --db ]]; then command=$word; fi ;;
    esac
  done
  case $previous in
    --db|--file|--csv)
      COMPREPLY=($(compgen -f -- "$current"))
      return
      ;;
    --format)
      COMPREPLY=($(compgen -W "tsv csv json" -- "$current"))
      return
      ;;
    --order)
      COMPREPLY=($(compgen -W "asc desc" -- "$current"))
      return
      ;;
  esac
  if [[ $command == calendar && $current != -* ]]; then
    COMPREPLY=($(compgen -f -- "$current"))
    return
  fi
  local help
  if [[ -z $command ]]; then
    help=$("${COMP_WORDS[0]}" --help 2>/dev/null)
    if [[ $current != -* ]]; then
      local commands
      commands=$(sed -n '/^Commands:/,/^$/s/^  \([a-z-]*\) .*/\1/p' <<<"$help")
      COMPREPLY=($(compgen -W "$commands" -- "$current"))
      return
    fi
  else
    help=$("${COMP_WORDS[0]}" "$command" --help 2>/dev/null)
  fi
  COMPREPLY=($(compgen -W "$(grep -oE -- '--[a-z][a-z-]*' <<<"$help" | sort -u)" -- "$current"))
}
complete -F _pelmora_cli pelmora-cli
