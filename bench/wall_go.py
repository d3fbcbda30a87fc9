# Old against new tavc, whole process: median wall and CPU seconds of
# interleaved runs of the side-by-side programs (built by
# "WORK=... python3 ../shared/perf/perf.py build").
#   WORK=/tmp/tavperf python3 bench/wall_go.py OLD_TAVC NEW_TAVC [runs] [none,dbreak]
import os, sys, time, statistics, subprocess
W=os.environ.get("WORK","/tmp/tavperf")+"/build"; runs=int(sys.argv[3]) if len(sys.argv)>3 else 5
bins={"base":sys.argv[1],"new":sys.argv[2]}
kinds=sys.argv[4].split(",") if len(sys.argv)>4 else ["none"]
def infile(n,kind):
    nm=subprocess.run(["m68hc11-nm",f"{W}/{n}.elf"],capture_output=True,text=True).stdout.split()
    done=int(nm[nm.index("done")-2],16)
    setup = ["dbreak /T:w /C:65535 *(int*)0x1020"] if kind=="dbreak" else []
    p=f"{W}/{n}.{kind}.full.in"
    open(p,"w").write("\n".join([f"load {W}/{n}.s19","mm 0x16 0xfd",*setup,f"break @0x{0x7F0000+done:06x}","go","quit"])+"\n")
    return p
def once(b,f):
    t0=time.perf_counter(); pid=os.fork()
    if pid==0:
        fd=os.open("/dev/null",os.O_WRONLY); os.dup2(fd,1); os.dup2(fd,2)
        os.environ["TAV_CONFIG_DIR"]="/tmp/tavperf-cfg"; os.execv(b,[b,"-i",f])
    _,st,ru=os.wait4(pid,0); return time.perf_counter()-t0, ru.ru_utime+ru.ru_stime
for kind in kinds:
  for n in ["empty","arith","crc16","bsort","calls"]:
    f=infile(n,kind); s={k:([],[]) for k in bins}
    for i in range(runs):
        for k,b in bins.items():
            w,c=once(b,f); s[k][0].append(w); s[k][1].append(c)
    med={k:(statistics.median(v[0]),statistics.median(v[1])) for k,v in s.items()}
    print(kind,n," ".join(f"{k}: wall {m[0]:.3f}s cpu {m[1]:.3f}s" for k,m in med.items()), f"cpu ratio base/new {med['base'][1]/med['new'][1]:.2f}", flush=True)
