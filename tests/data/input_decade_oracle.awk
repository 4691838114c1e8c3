# Independent reading of a decade ring-width file, for the tests of the input
# menu: prints the number of series (closed by 999 or -9999), the earliest
# first year, the latest last year and the total number of values.
# Usage: awk -f input_decade_oracle.awk file.rwl
# Year field: if col 8 is '-', cols 8-12; else if col 7 is '-', cols 7-12; else cols 9-12.
# A numeric field ignores the blanks inside it, as formatted input does.
# A 999 followed on its line by a number other than 999, or whose series'
# next line (same identifier, next decade) follows, is a ring width, not an
# end marker.
function trim(s){gsub(/ /,"",s); return s}
function field(i){v=trim(substr(line,13+6*i,6)); return v}
function closeser(){ ns++; tot+=n; last=first+n-1; if(first<mn||ns==1)mn=first; if(last>mx||ns==1)mx=last; inser=0 }
{
  sub(/\r$/,"")
  line=$0
  if (substr(line,8,1)=="-") { yf=substr(line,8,5); idw=7 } else if (substr(line,7,1)=="-") { yf=substr(line,7,6); idw=6 } else { yf=substr(line,9,4); idw=8 }
  y=trim(yf)
  if (y=="" ) next
  if (y !~ /^-?[0-9]+$/) { next }
  # a line whose fields are not all integers is a title line
  ok=1
  for(i=0;i<10;i++){v=field(i); if(v!="" && v !~ /^-?[0-9]+$/) ok=0}
  if(!ok) next
  id=substr(line,1,idw); sub(/ +$/,"",id)
  if (pend) { pend=0; if (id==pid && y+0==pnext) n+=pextra; else closeser() }
  if (!inser) { inser=1; first=y+0; n=0 }
  slots=lineslots(y+0, first)
  for(i=0;i<10;i++){
    v=field(i); if(v=="") v=0
    if (v+0==-9999) { closeser(); break }
    if (v+0==999) {
      other=0
      for(k=i+1;k<slots;k++){w=field(k); if(w!="" && w+0!=999) other=1}
      if (!other) { pend=1; pid=id; pnext=(y+0==first ? first+slots : y+10); pextra=slots-i; break }
    }
    # only the slots that belong on this line
    if (slots<=i) break
    n++
  }
}
function lineslots(yr, f){ if (yr!=f) return 10; if (f>=0) return 10-(f%10); r=-( (-f)%10 ); return r==0?10:-r }
END { if (pend) closeser(); print ns, mn, mx, tot }
