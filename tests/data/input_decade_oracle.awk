# Independent reading of a decade ring-width file, for the tests of the input
# menu: prints the number of series (closed by 999 or -9999), the earliest
# first year, the latest last year and the total number of values.
# Usage: awk -f input_decade_oracle.awk file.rwl
# Year field: if col 8 is '-', cols 8-12; else if col 7 is '-', cols 7-12; else cols 9-12.
# A numeric field ignores the blanks inside it, as formatted input does.
function trim(s){gsub(/ /,"",s); return s}
{
  sub(/\r$/,"")
  line=$0
  if (substr(line,8,1)=="-") yf=substr(line,8,5); else if (substr(line,7,1)=="-") yf=substr(line,7,6); else yf=substr(line,9,4)
  y=trim(yf)
  if (y=="" ) next
  if (y !~ /^-?[0-9]+$/) { next }
  # a line whose fields are not all integers is a title line
  ok=1
  for(i=0;i<10;i++){v=trim(substr(line,13+6*i,6)); if(v!="" && v !~ /^-?[0-9]+$/) ok=0}
  if(!ok) next
  if (!inser) { inser=1; first=y+0; n=0 }
  for(i=0;i<10;i++){
    v=trim(substr(line,13+6*i,6)); if(v=="") v=0
    if (v+0==999 || v+0==-9999) { ns++; tot+=n; last=first+n-1; if(first<mn||ns==1)mn=first; if(last>mx||ns==1)mx=last; inser=0; break }
    # only the slots that belong on this line
    if (lineslots(y+0, first)<=i) break
    n++
  }
}
function lineslots(yr, f){ if (yr!=f) return 10; if (f>=0) return 10-(f%10); r=-( (-f)%10 ); return r==0?10:-r }
END { print ns, mn, mx, tot }
